// The kinetic model evaluated by the desktop program at a stored state of a
// finished run: species thermodynamics, rate and equilibrium constants, the
// rate of every selected reaction, species production and the rate of
// temperature change. Pure calculations on the tables of the results reader;
// they show nothing.
//
// The arithmetic is the solver's: whatever the solver computes for a file it
// runs is computed alike. Floating-point faults beyond that (the logarithm of
// a non-positive number, a division by zero, an overflowing exponential)
// throw kx::Error, so a failing evaluation never leaves infinities or NaNs in
// the outputs.
#pragma once

#include <span>
#include <string_view>
#include <vector>

#include "Table2.h"

namespace kx {

// ln T, T^2, T^3 and T^4, computed once per temperature.
struct TemperaturePowers {
    double LnT = 0, T2 = 0, T3 = 0, T4 = 0;
    static TemperaturePowers Of(double T);
};

struct ThermoFunctions {
    double HRT = 0;  // H/RT
    double CPR = 0;  // Cp/R
    double SR = 0;   // S/R
};

// Thermodynamic functions from 14 polynomial coefficients (a[0..6] the upper
// range, a[7..13] the lower). Above Tmid the upper set is used, at or below
// it the lower set; a set whose coefficients sum to 0 gives all zeros.
ThermoFunctions SpeciesThermoNasaChem(std::span<const double, 14> a, double T, double Tmid,
                                      const TemperaturePowers& powers);

struct SpeciesThermoResult : ThermoFunctions {
    bool ok = false;  // false: no coefficient set applies (all values 0)
};

// The results window's own thermodynamic functions: zeros below 100 K; the
// upper set at or above Tmid, the lower set below it; a set that sums to 0 is
// not used. A calculation error throws TaggedError "Mod1#006. " with a text
// naming the species.
SpeciesThermoResult SpeciesThermoNasa(std::span<const double, 14> a, double T, double Tmid,
                                      std::string_view speciesName);

// The model tables as the results reader holds them, with the run's settings.
// Column numbers are those of the solver file (see ResultsReader.h).
struct KineticModel {
    int NSP = 0;                   // number of species
    int NR = 0;                    // number of reactions
    double P = 0;                  // pressure, atm
    int Mode = 0;                  // 0 constant temperature, 1 temperature integrated
    double T0 = 0;                 // the temperature of a mode-0 run
    double RE = 0;                 // gas constant of the activation energies
    double RC = 0;                 // gas constant of concentrations and equilibrium constants
    const Table2<double>* ThermoTable = nullptr;  // (0..NSP, 0..18)
    const Table2<int>* ReactionInts = nullptr;    // (0..NR, 0..26)
    Table2<double>* ReactionReals = nullptr;      // (0..NR, 0..25); columns 22-25 are written
};

// Species functions at the temperature of the last evaluation, index 1..NSP.
struct SpeciesThermoTable {
    std::vector<double> HRT, CPR, GRT;
};

// Rate constants of every reaction at temperature T into columns 22-25 of
// ReactionReals: 22 kf, 23 Kc (0 unless the reverse flag is 1), 24 k0 (fall-off
// reactions only), 25 log10 Fcent (Troe) or the SRI base term (SRI only).
// H/RT, Cp/R and G/RT of every species go into `thermo`.
void ComputeRateConstants(double T, const KineticModel& model, SpeciesThermoTable& thermo);

// The outputs of one evaluation; reuse one object for many states.
struct ReactionRates {
    // (0..NSP+Mode, 0..1): column 0 net production of species k (mol/cm^3 s),
    // column 1 its gross production; in mode 1 row NSP+1 column 0 is dT/dt (K/s).
    Table2<double> SpeciesProduction;
    // (0..NR, 0..1): column 0 the net rate of reaction i (or, under the flags,
    // its heat term or its contribution to dT/dt), column 1 its forward rate.
    Table2<double> ReactionRateTable;
    SpeciesThermoTable Thermo;
};

// Rates at one state. state[k], k = 1..NSP, is the molar concentration of
// species k; in mode 1 state[NSP+1] is the temperature. Only reactions with
// selected[i] true get rates. As in the solver, a third-body reaction whose
// collider concentration is not above 0, and a fall-off reaction without a
// third body or with a rate constant (kf or k0) of 0, get rate 0. heatTerm: column 0 becomes the reaction's heat
// term net x dH/RT x T (0 for reverse flag -1); temperatureDerivative (mode 1
// only): column 0 is then divided by -(sum x_k Cp/R_k) c_tot.
void ComputeReactionRates(std::span<const double> state, const KineticModel& model,
                          const std::vector<bool>& selected, bool heatTerm, bool temperatureDerivative,
                          ReactionRates& out);

}  // namespace kx
