#include "publish/LinkJson.h"

#include "core/JsonText.h"

namespace qs {

std::string LinkJson(const TGPIBTelnet& logger, const StatusEvent& event) {
    const bool first = logger.RadioButton1.checked(), second = logger.RadioButton2.checked();
    std::string commands = "[";
    if (!second) commands += JsonString(logger.CommandBox.text());
    if (!first) commands += (second ? "" : ",") + JsonString(logger.CommandBox2.text());
    commands += "]";
    return JsonObject()
        .flag("up", logger.State.Connected != 0)
        .text("text", event.text)
        .text("time", FormatIsoUtc(event.time))
        .text("host", logger.HostBox.text())
        .text("mode", first ? "command1" : second ? "command2" : "alternate")
        .raw("commands", commands)
        .num("interval", logger.State.IntervalSeconds)
        .num("timeout", logger.WatchdogTimer.interval() / 1000.0)
        .done();
}

}  // namespace qs
