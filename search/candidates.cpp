#include "search/candidates.h"

namespace search {

CandidateTables buildCandidates(const RosterInput &) { return {}; }
double Factorial(int n) { return n <= 0 ? 1.0 : n * Factorial(n - 1); }
double nCr(int n, int r) { return Factorial(n) / (Factorial(r) * Factorial(n - r)); }
double exactTeamCount(const CandidateTables &) { return 0; }
QString groupedNumber(double) { return {}; }

} // namespace search
