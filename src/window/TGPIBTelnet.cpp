#include "window/TGPIBTelnet.h"

#include "chart/SeriesStyle.h"
#include "link/PollArithmetic.h"
#include "platform/Conversions.h"

namespace qs {

TGPIBTelnet::TGPIBTelnet(const Platform& p)
    : platform(p),
      Telnet(p.telnet),
      Chart1(p.chart),
      Series1(p.chart.Series(1)),
      Series2(p.chart.Series(2)),
      Series3(p.chart.Series(3)),
      Series4(p.chart.Series(4)),
      Series5(p.chart.Series(5)),
      Series6(p.chart.Series(6)),
      Timer1(p.scheduler, 100, false, [this] { Timer1Timer(); }),
      Timer2(p.scheduler, 100, true, [this] { Timer2Timer(); }),
      Timer3(p.scheduler, 30000, false, [this] { Timer3Timer(); }),
      WatchdogTimer(p.scheduler, 5000, false, [this] { WatchdogTimerTimer(); }) {
    MeasuredBox.setReadOnly(true);
    TRadioButton::group({&RadioButton1, &RadioButton2, &RadioButton3});
    // The chart's design: command 1's raw line starts bold, everything shown.
    for (int n = 1; n <= 6; ++n) Chart1.Series(n).SetPenWidth(SeriesStyleOf(n).initialPenWidth);
    wireEvents();
}

TGPIBTelnet::~TGPIBTelnet() { Telnet.setEvents({}); }

void TGPIBTelnet::wireEvents() {
    Telnet.setEvents({[this] { TelnetConnected(); }, [this] { TelnetDisconnected(); },
                      [this](const std::uint8_t* data, std::size_t size) { OnDataAvailable(data, size); }});

    StartButton.OnClick = [this] { StartButtonClick(); };
    ResetButton.OnClick = [this] { ResetButtonClick(); };
    DeleteButton.OnClick = [this] { DeleteButtonClick(); };
    LoadButton.OnClick = [this] { LoadButtonClick(); };
    OpenFolderButton.OnClick = [this] { OpenFolderButtonClick(); };
    PrintButton.OnClick = [this] { PrintButtonClick(); };

    IntervalBox.OnExit = [this] { IntervalBoxExit(); };
    TimeOutBox.OnExit = [this] { TimeOutBoxExit(); };
    TextFileBox.OnExit = [this] { TextFileBoxExit(); };
    ScrollBox.OnExit = [this] { ScrollBoxExit(); };
    MinStringBox.OnExit = [this] { ScrollBoxExit(); };
    SamplesPerPrintedPage.OnExit = [this] { SamplesPerPrintedPageExit(); };
    MeanBox.OnChange = [this] { MeanBoxChange(); };
    FilterPoints.OnChange = [this] { FilterPointsChange(); };

    DisplayDataBox.OnClick = [this] { DisplayDataBoxClick(); };
    SaveResultsBox.OnClick = [this] { DisplayDataBoxClick(); };
    DisplayMeanBox.OnClick = [this] { DisplayMeanBoxClick(); };
    FilterCheckbox.OnClick = [this] { FilterCheckboxClick(); };
    BoldRaw.OnClick = [this] { BoldRawClick(); };
    BoldMean.OnClick = [this] { BoldMeanClick(); };
    BoldFilter.OnClick = [this] { BoldFilterClick(); };
    HintBox.OnClick = [this] { HintBoxClick(); };
}

SampleTime TGPIBTelnet::now() const { return SampleTimeFromUtc(platform.clock.nowUtc()); }

int TGPIBTelnet::intervalMs() const { return SecondsToMs(StrToFloat(IntervalBox.text())); }

int TGPIBTelnet::sampleChannel() const {
    if (RadioButton1.checked()) return 1;
    if (RadioButton2.checked()) return 2;
    return State.ReplyPhase == 1 ? 1 : 2;
}

void TGPIBTelnet::noteDataFileWrite(bool written, const std::string& fileName) {
    DataFileStatus.setCaption(written ? std::string()
                                      : "Samples are NOT being recorded: cannot write the data file \"" + fileName +
                                            "\"");
}

}  // namespace qs
