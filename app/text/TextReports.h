// The printing of a text document: the text laid out on the page layout the
// shared page set-up chooses (portrait, A4 landscape or Letter landscape),
// under a header with the window's heading and page numbers, shown in the
// print preview from which the user prints.
#pragma once

#include "Capabilities.h"
#include "RichText.h"

#include <QString>

namespace kx::text {

// Prints the text with the window's page set-up (heading, page-number flag,
// first page number) and the shared one (margins, paper, orientation,
// number alignment), its tabs at the stops of its lines (none given: every
// eight characters). The text is laid out on the page it is printed on:
// the layout's page, or the one the printer kept or the user turned or
// changed in the preview or the print dialog, within the margins set there.
// When the printer did not take the paper the user is told before the
// preview shows. Failures are reported with the layout's tag
// ("TxtRep#001. " ...) and end the printing.
void ShowTextReport(const QString& text, platform::HasPageSetup& window, const TextTabStops& tabs = {});

}  // namespace kx::text
