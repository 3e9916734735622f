// The whole numerical toolkit in one include.
#ifndef NUMERICS_NUMERICS_H
#define NUMERICS_NUMERICS_H

#include "numerics/arrays.h"
#include "numerics/elementary.h"
#include "numerics/fitting.h"
#include "numerics/fourier.h"
#include "numerics/linear_algebra.h"
#include "numerics/sorting.h"
#include "numerics/statistics.h"
#include "numerics/version.h"

#endif
