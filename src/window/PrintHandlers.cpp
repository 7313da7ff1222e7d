// Printing the chart, a set number of samples per landscape page.
#include "chart/ChartPrinting.h"
#include "platform/Conversions.h"
#include "window/TGPIBTelnet.h"

namespace qs {

void TGPIBTelnet::PrintButtonClick() {
    const int remembered = Chart1.GetPointsPerPage();
    Chart1.SetPointsPerPage(State.SamplesPerPage);
    // A long file at a few hundred samples a page is a ream of paper: such a
    // job goes only when the person says so.
    if (const auto question = PrintQuestion(Chart1.PageCount(), Chart1.PrinterName())) {
        const MsgResult answer =
            platform.dialogs.messageBox(*question, PrintButton.caption(), MsgButtons::YesNo, MsgIcon::Warning);
        if (answer != MsgResult::Yes) {
            Chart1.SetPointsPerPage(remembered);
            Chart1.Redraw();
            return;
        }
    }
    try {
        // The page count is asked anew before every page.
        for (int page = 1; page <= Chart1.PageCount(); ++page) {
            Chart1.SetPage(page);
            Chart1.PrintLandscape();
        }
    } catch (...) {
        // A printer error half-way must not leave the window showing only
        // the last printed page: the chart's own paging comes back first.
        Chart1.SetPointsPerPage(remembered);
        Chart1.Redraw();
        throw;
    }
    Chart1.SetPointsPerPage(remembered);
    Chart1.Redraw();
}

// The box keeps what was typed; only the value used is held to at least 100.
void TGPIBTelnet::SamplesPerPrintedPageExit() {
    if (SamplesPerPrintedPage.text().empty()) return;
    const int samples = StrToInt(SamplesPerPrintedPage.text());
    State.SamplesPerPage = samples < 100 ? 100 : samples;
}

}  // namespace qs
