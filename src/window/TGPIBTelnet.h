#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "core/ChannelRouting.h"
#include "core/LineAppender.h"
#include "core/SampleTime.h"
#include "link/LinkCodecTable.h"
#include "platform/Controls.h"
#include "platform/Platform.h"
#include "platform/Timer.h"
#include "window/LoggerState.h"
#include "window/SampleRecord.h"
#include "window/SeriesTable.h"
#include "window/StabilityStore.h"
#include "window/StatusEvent.h"
#include "window/Subscribers.h"

namespace qs {

class DeferredError;

// The logger's window: its controls, Logger state, timers and Telnet
// component, every event handler a method; all of it runs on one event loop.
class TGPIBTelnet {
public:
    explicit TGPIBTelnet(const Platform& platform);
    ~TGPIBTelnet();
    TGPIBTelnet(const TGPIBTelnet&) = delete;
    TGPIBTelnet& operator=(const TGPIBTelnet&) = delete;

    // ---- start-up and shutdown (StartupShutdown.cpp)
    void FormCreate();
    // Leaves canClose untouched: closing is never refused.
    void FormCloseQuery(bool& canClose);

    // ---- reply assembly (ReplyHandlers.cpp)
    // One received chunk; the watchdog's replay passes an empty chunk.
    void OnDataAvailable(const std::uint8_t* chunk, std::size_t size);
    // ---- sample evaluation (SampleHandlers.cpp)
    void EvaluateSample(std::string_view cleanText, const SampleTime& time);

    // ---- connection lifecycle (LinkHandlers.cpp)
    void StartButtonClick();
    void ResetButtonClick();
    void TelnetConnected();
    void TelnetDisconnected();
    void SendFailureRecovery();
    // ---- poll scheduler (PollHandlers.cpp)
    void Timer1Timer();
    void Timer2Timer();
    void Timer3Timer();
    void SendCommand(const std::string& commandBytes);
    void IntervalBoxExit();
    void TimeOutBoxExit();
    // ---- watchdog (WatchdogHandlers.cpp)
    void WatchdogTimerTimer();

    // ---- data file review (DataFileHandlers.cpp)
    void LoadButtonClick();
    void DeleteButtonClick();
    void TextFileBoxExit();
    void ResetDataDisplay();

    // ---- chart display options (DisplayHandlers.cpp, PrintHandlers.cpp)
    void DisplayDataBoxClick();
    void DisplayMeanBoxClick();
    void FilterCheckboxClick();
    void BoldRawClick();
    void BoldMeanClick();
    void BoldFilterClick();
    void ScrollBoxExit();
    void MeanBoxChange();
    void FilterPointsChange();
    void TrimToScrollWindow();
    void PrintButtonClick();
    void SamplesPerPrintedPageExit();

    // ---- window (WindowHandlers.cpp, SettingsApply.cpp)
    void HintBoxClick();
    void OpenFolderButtonClick();
    void LoadSettings();
    void SaveSettings();

    // ---- the window and its controls, with their design values
    TForm Form{"GPIBTelnet", "KISS-488 GPIB Quillstone Logger v1.10",
               "If no response is seen from the KISS within this time, the connection is forcefully disconnected "
               "and reconnected. Make sure this time intervals is longer than the Interval box."};

    TButton StartButton{"StartButton", "Start", true,
                        "Initiate communications to the GPIB telnet device (like via the Hx Engineering's KISS-488)."};
    TButton ResetButton{"ResetButton", "Stop", false, "Stop communications via GPIB."};
    TButton DeleteButton{"DeleteButton", "Empty the Data File", true,
                         "This PERMANENTLY ERASES/DELETES the Data File and lets you start over from scratch."};
    TButton LoadButton{"LoadButton", "Load Data File", true,
                       "This loads all of the data from the Data File into the chart. Only the last number of points "
                       "specified by \"Start scrolling after\" will be displayed."};
    TButton OpenFolderButton{"OpenFolderButton", "Open Data Folder", true,
                             "Click here to open the folder where the Data File is located."};
    TButton PrintButton{"PrintButton", "Print to Default Printer", true,
                        "Clicking this will print the chart out using the default printer. Make sure your printer is "
                        "on."};

    TEdit HostBox{"HostBox", "192.168.1.88",
                  "Specify the IP address of the GPIB telnet interface (such as on Hx Engineering's KISS-488 "
                  "interface). Uses standard telnet port 23."};
    TEdit IntervalBox{"IntervalBox", "2",
                      "You can use decimal values. For example, 2.5 is 2.5 seconds. 0.5 is half a second."};
    TEdit TimeOutBox{"TimeOutBox", "5",
                     "If no response is seen from the KISS within this time, the connection is forcefully "
                     "disconnected and reconnected. Make sure this time intervals is longer than the Interval box."};
    TEdit CommandBox{"CommandBox", "MEAS:VOLT:DC? 5,0.00001",
                     "Specify the command to send via Telnet to the interface."};
    TEdit CommandBox2{"CommandBox2", "MEAS:VOLT:DC? 5,0.00001",
                      "Specify the second command to send via Telnet to the interface."};
    TEdit MeanBox{"MeanBox", "10",
                  "This specifies how many of the most recent data points are used to compute the running mean."};
    TEdit FilterPoints{"FilterPoints", "10",
                       "This controls the RC time-constant of the RC filter, measured in samples."};
    TEdit ScrollBox{"ScrollBox", "0",
                    "Zero causes ALL data to be displayed. Non-zero causes the chart to start scrolling to the left "
                    "after the number of samples given here is recorded."};
    TEdit MinStringBox{"MinStringBox", "5",
                       "Must be greater than zero. Indicates the minimum valid number of characters returned via "
                       "GPIB. "};
    TEdit SamplesPerPrintedPage{"SamplesPerPrintedPage", "500",
                                "When printing charts, this number specifies how many samples to print per page. If "
                                "you have 1000 samples and specify 500 here, two pages will be printed."};
    TEdit TextFileBox{"TextFileBox", "Data.txt", "Specify the Data File to use for the storage of GPIB data."};
    TEdit MeasuredBox{"MeasuredBox", "", "The last returned RAW measurement is shown here."};

    TCheckBox DisplayDataBox{"DisplayDataBox", "Plot Raw Data", true, "Plot the raw data."};
    TCheckBox DisplayMeanBox{"DisplayMeanBox", "Plot Mean using", true, "Display the computed running mean."};
    TCheckBox FilterCheckbox{"FilterCheckbox", "Plot RC-Filter", true,
                             "Enabling this plots the equivalent of a 1st order RC filter on the raw data."};
    TCheckBox BoldRaw{"BoldRaw", "", true, "Make the raw data bold."};
    TCheckBox BoldMean{"BoldMean", "", false, "Make the computed running mean(s) bold."};
    TCheckBox BoldFilter{"BoldFilter", "", false, "Make the RC Filter plot line(s) bold."};
    TCheckBox DeleteFirstCheckBox{"DeleteFirstCheckBox", "Delete first character of results", false,
                                  "The output of some devices are preceded by non-digits. Ex. F+10.001 from a "
                                  "frequency counter. This strips off the leading character."};
    TCheckBox HintBox{"HintBox", "Display Hints", true,
                      "Uncheck this box to stop the hints while hovering your mouse over options."};
    TCheckBox AutoReconnect{"AutoReconnect", "Auto-Reconnect if data flow stops unexpectedly.", true,
                            "If the telnet connection crashes, enabling this will cause the software to disconnect "
                            "and then reconnect 5 seconds after the failure of data to be received."};
    TCheckBox StrandedCheckBox{"StrandedCheckBox", "During time-outs, attempt to use stranded data.", true,
                               "Sometimes, measurement data may be received without terminating characters, causing "
                               "a time-out to occur. Checking this box causes any stranded data in the buffer to be "
                               "processed."};
    TCheckBox SaveResultsBox{"SaveResultsBox", "Save Raw GPIB Results", false,
                             "Save returned results to the file 'Results.txt' in the Data Folder (see button below). "
                             "This overwrites existing results when the Start button is clicked. Raw data is placed "
                             "within braces { } in the Results.txt file."};
    TCheckBox AbsoluteCheckBox{
        "AbsoluteCheckBox", "Absolute Timer", false,
        "Check this box to receive data at specific set Intervals. Unchecking this box causes the software to wait "
        "Interval seconds after the last received data before commencing the next attempt at receiving new data. Be "
        "careful that your Interval is long enough. The system may time-out or behave incorrectly if responses "
        "aren't seen quickly enough to meet the absolute Interval when this box is checked."};

    TRadioButton RadioButton1{"RadioButton1", "Send Command 1", true, "Send only the first command."};
    TRadioButton RadioButton2{"RadioButton2", "Send Command 2", false, "Send only the second command."};
    TRadioButton RadioButton3{"RadioButton3", "Alternate Commands", false,
                              "Send the first command. Then on the next interval, send the second command. Then on "
                              "the next interval, send the first command and alternate between commands."};

    TLabel DateBox{"DateBox", ""};
    TLabel LastBox{"LastBox", ""};
    TLabel UnitsBox{"UnitsBox", "   "};
    TLabel CountBox{"CountBox", "0"};
    TLabel MaxBox{"MaxBox", "0"};
    TLabel MinBox{"MinBox", "0"};
    TLabel DiffBox{"DiffBox", "0"};
    TLabel ShowMean{"ShowMean", "0"};
    TLabel FilterValue{"FilterValue", "0"};
    // The standard deviation of the latest readings in ppm of their mean,
    // shown by whoever refreshes the stability figures (see StabilityFeed).
    TLabel StdDevBox{"StdDevBox", "none"};
    TLabel CountDown{"CountDown", ""};
    // Status lines the window shows without a modal box, for what a person
    // must see while logging runs unattended: the link and its recoveries,
    // and whether samples reach the data file (a reply that is no sample
    // says there why it is not recorded).
    TLabel LinkStatus{"LinkStatus", ""};
    TLabel DataFileStatus{"DataFileStatus", ""};

    // ---- the Logger state
    LoggerState State;
    // The live statistics and stability sums of the two channels.
    StabilityStore Stability;

    // ---- listeners, added while the program is put together. One that
    //      throws is shown by the platform's error report once the running
    //      handler is done; the handler and the other listeners go on.
    // Told of each sample once it is complete: points, statistics, captions
    // and its data-file line.
    Subscribers<SampleRecord> sampleSubscribers{[this](const std::string& m) { reportLater(m); }};
    // Told of each change of LinkStatus and DataFileStatus.
    Subscribers<StatusEvent> statusSubscribers{[this](const std::string& m) { reportLater(m); }};

    // ---- platform parts the window owns or uses
    const Platform& platform;
    ITelnet& Telnet;
    IChart& Chart1;
    ISeries& Series1;
    ISeries& Series2;
    ISeries& Series3;
    ISeries& Series4;
    ISeries& Series5;
    ISeries& Series6;
    Timer Timer1;
    Timer Timer2;
    Timer Timer3;
    Timer WatchdogTimer;

private:
    void wireEvents();
    // The OnTimer hook of the timer of that name; nullptr when there is none.
    std::function<void()>* timerHook(std::string_view name);
    // Current UTC time, in whole seconds, as calendar fields.
    SampleTime now() const;
    // trunc(StrToFloat(IntervalBox) * 1000): the countdown's full interval.
    int intervalMs() const;
    // The commands the radio buttons select.
    CommandMode commandMode() const;
    // Records the outcome of a data-file write in DataFileStatus.
    void noteDataFileWrite(bool written, const std::string& fileName);
    // The data file's writer: whole lines, never two on one line.
    LineAppender dataFileLines_;
    bool dataFileUnwritable_ = false;
    // The status lines: each change is shown and told to statusSubscribers.
    void showLinkStatus(const std::string& text);
    void showDataFileNote(const std::string& text);
    void showStatus(TLabel& line, StatusEventKind kind, const std::string& text);
    // Raises an Exception with the message from the event loop, where the
    // platform's error report shows it, without ending the running handler.
    void reportLater(const std::string& message);

    // Series1 ... Series6 with their commands and roles.
    const SeriesTable seriesTable_{{&Series1, &Series2, &Series3, &Series4, &Series5, &Series6}};
    // The stability sums follow the scroll window: readings older than the
    // oldest point of their channel's raw series leave (DisplayHandlers.cpp).
    void dropScrolledReadings();
    // The seq of the last sample told to sampleSubscribers.
    std::uint64_t lastSampleSeq_ = 0;

    // ---- link helpers (LinkHandlers.cpp, WatchdogHandlers.cpp)
    // Start and Stop; unattended: run by a recovery nobody started, so that
    // their failures go to LinkStatus instead of a modal box.
    void startLink(bool unattended);
    void stopLink(bool unattended);
    void reportLinkFailure(const char* message, bool unattended);
    void abandonAttempt(bool unattended);
    // Runs a recovery's Stop and Start steps: an exception ends them and is
    // shown in LinkStatus; a link left down is retried by the watchdog.
    void runRecovery(const std::function<void()>& steps);
    void armReconnectRetry();
    // The window shows logging on (Stop enabled) or off (Start enabled).
    void showLoggingControls(bool on);
    // A recovery the logger runs by itself begins, or is over with the link
    // left down.
    void beginRecovery();
    void endRecovery();
    // The countdown tick's part of the greeting wait: says so in LinkStatus
    // once a time-out has passed without the link's greeting; true while the
    // watchdog is not to be armed yet.
    bool awaitGreeting();
    // The link is ready to poll (the adapter's greeting, or what stands for
    // it with the link's kind): the first poll counts from now. restarted:
    // the countdown already counts from this moment.
    void linkReady(bool restarted, DeferredError& deferred);
    // Whether the complete text just taken is what makes the link ready.
    bool isReadySignal(const std::string& raw, std::string_view clean) const;
    // What the current link's kind is, from the program's table.
    const LinkCodecKind& linkKind() const;
    // LinkStatus once the link is up, naming the link.
    std::string linkUpStatus() const;
    // settle: wait for the adapter to let the closed link go before Start.
    void watchdogReconnect(const std::string& reason, bool settle);
};

}  // namespace qs
