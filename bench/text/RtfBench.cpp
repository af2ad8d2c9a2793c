// Reading and writing an RTF document as a word processor writes it: many
// paragraphs of runs, each with its session ids, associated fonts and
// languages, some text beyond Latin-1 and a bookmark every tenth paragraph.
#include "Rtf.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

std::string wordProcessorDocument(long paragraphs) {
    std::string rtf =
        "{\\rtf1\\adeflang1025\\ansi\\ansicpg1252\\uc1\\adeff31507\\deff0\\stshfdbch31505\\stshfloch31506"
        "{\\fonttbl{\\f0\\froman\\fcharset0 Times New Roman;}{\\f31505\\fnil DengXian;}{\\f31506\\fswiss Calibri;}"
        "{\\f31507\\froman Times New Roman;}}{\\colortbl;\\red0\\green0\\blue0;\\red255\\green0\\blue0;}\r\n"
        "{\\*\\defchp \\f31506\\fs22\\lang1033\\langfe1033\\langfenp1033 }{\\*\\defpap \\ql \\li0\\ri0\\sa160\\sl259"
        "\\slmult1\\widctlpar\\wrapdefault\\aspalpha\\aspnum\\faauto\\adjustright\\rin0\\lin0\\itap0 }\r\n"
        "{\\*\\rsidtbl \\rsid1\\rsid2}{\\info{\\title Bench}}\\paperw12240\\paperh15840\\margl1440\\margr1440"
        "\\widowctrl\\ftnbj\\aenddoc\\trackmoves0\\trackformatting1\\expshrtn\\nouicompat\\viewkind1\r\n"
        "\\sectd \\ltrsect\\linex0\\endnhere\\sectlinegrid360\\sectdefaultcl\\sftnbj "
        "{\\*\\pnseclvl1\\pnucrm\\pnstart1\\pnindent720\\pnhang {\\pntxta .}}\r\n";
    for (long p = 0; p < paragraphs; ++p) {
        rtf += "\\pard\\plain \\ltrpar\\ql \\li0\\ri0\\sa160\\sl259\\slmult1\\widctlpar\\wrapdefault\\aspalpha\\aspnum"
               "\\faauto\\adjustright\\rin0\\lin0\\itap0\\pararsid1 \\rtlch\\fcs1 \\af31507\\afs22\\alang1025 "
               "\\ltrch\\fcs0 \\f31506\\fs22\\lang1033\\langfe1033\\cgrid\\langnp1033\\langfenp1033 ";
        if (p % 10 == 0) rtf += "{\\*\\bkmkstart Mark" + std::to_string(p) + "}";
        rtf += "{\\rtlch\\fcs1 \\af31507 \\ltrch\\fcs0 \\insrsid2 \\hich\\af31506\\dbch\\af31505\\loch\\f31506 "
               "Paragraph " + std::to_string(p) + " of the mechanism: H2 + O2 = 2 OH at 1000 K, \\'e9t\\'e9 }";
        if (p % 10 == 0) rtf += "{\\*\\bkmkend Mark" + std::to_string(p) + "}";
        rtf += "{\\rtlch\\fcs1 \\af31507 \\ltrch\\fcs0 \\b\\cf2\\insrsid2\\charrsid1 \\hich\\af31506\\dbch\\af31505"
               "\\loch\\f31506 \\u945\\'3f\\u946\\'3f rate}{\\rtlch\\fcs1 \\af31507 \\ltrch\\fcs0 \\insrsid2 "
               "\\hich\\af31506\\dbch\\af31505\\loch\\f31506  and the rest of the line in words.}\r\n\\par ";
    }
    rtf += "}";
    return rtf;
}

void BM_ReadWordProcessorRtf(benchmark::State& state) {
    const std::string rtf = wordProcessorDocument(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(kx::text::rtf::Read(rtf));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(rtf.size()));
}

void BM_WriteWordProcessorRtf(benchmark::State& state) {
    const kx::text::rtf::Document doc = kx::text::rtf::Read(wordProcessorDocument(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(kx::text::rtf::Write(doc, "Courier New", 10));
}

}  // namespace

BENCHMARK(BM_ReadWordProcessorRtf)->Arg(1'000)->Arg(20'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteWordProcessorRtf)->Arg(1'000)->Arg(20'000)->Unit(benchmark::kMillisecond);
