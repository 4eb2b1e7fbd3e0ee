#include "search/enumeration.h"

namespace search {

void PickDefenceReference(const CandidateTables &, SearchState &, SearchHost &) {}
void PickDefence(const CandidateTables &, SearchState &, SearchHost &) {}

} // namespace search
