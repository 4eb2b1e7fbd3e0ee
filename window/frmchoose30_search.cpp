// The search wiring of the main window (Find Best Team, Stop, progress, the Top 35 box and the
// mode buttons). Filled in with the search engine.
#include "window/frmchoose30.h"

void frmChoose30::cmdDo_Click() {}
void frmChoose30::cmdStop_Click() {}
void frmChoose30::Timer1_Timer() {}
void frmChoose30::chkTop35_Click() {}
void frmChoose30::optM_Click(int) {}
void frmChoose30::BuildCandidates() {}
void frmChoose30::CountTeams() {}
void frmChoose30::sizeCandidateTables() {}
