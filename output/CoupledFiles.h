// The files of a coupled analysis: the polar in xfoil's columns, the table
// of every point with its flag, and the boundary layer's stations.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "output/PolarFiles.h"
#include "viscous/CoupledPolar.h"

namespace tavrix {

// The polar of one method in xfoil's columns with the viscous CL, CD, CDp,
// CM and the transition points of the converged points only.
std::string coupledPolarText(const SweepConditions& conditions, PanelMethod method,
                             const coupled::CoupledOptions& options,
                             std::span<const CoupledPoint> points);

// The inviscid CSV of the sweep (CoefficientsCsvText) with the columns
// CL_viscous,CM_viscous,CD,CDp,CDf,Top_Xtr,Bot_Xtr,Top_Xsep,Bot_Xsep,
// converged,reason on every row (before CH, with a flap): empty numbers on a
// point that did not converge. points[m] belongs to sweeps[m], point for point.
std::string coupledCsvText(const SweepConditions& conditions, std::span<const MethodSweep> sweeps,
                           std::span<const std::vector<CoupledPoint>> points);

// The stations of the converged points, one row each:
// method,alpha,side,x,y,xi,ue,theta,delta_star,H,Cf,n,C_tau,turbulent
// (n on laminar airfoil stations, C_tau on turbulent ones and the wake).
std::string layerCsvText(PanelMethod method, std::span<const CoupledPoint> points,
                         bool withHeader = true);

}  // namespace tavrix
