#include "window/LinkJson.h"

#include "core/JsonText.h"

namespace qs {

namespace {

// The settings' fields, after whatever the object already holds.
JsonObject& pollSettings(JsonObject& object, const TGPIBTelnet& logger) {
    const bool first = logger.RadioButton1.checked(), second = logger.RadioButton2.checked();
    std::string commands = "[";
    if (!second) commands += JsonString(logger.CommandBox.text());
    if (!first) commands += (second ? "" : ",") + JsonString(logger.CommandBox2.text());
    commands += "]";
    return object.text("host", logger.HostBox.text())
        .text("mode", first ? "command1" : second ? "command2" : "alternate")
        .raw("commands", commands)
        .num("interval", logger.State.IntervalSeconds)
        .num("timeout", logger.WatchdogTimer.interval() / 1000.0);
}

}  // namespace

std::string LinkJson(const TGPIBTelnet& logger, const StatusEvent& event) {
    JsonObject object;
    object.flag("up", logger.State.Connected != 0).text("text", event.text).text("time", FormatIsoUtc(event.time));
    return pollSettings(object, logger).done();
}

std::string PollSettingsJson(const TGPIBTelnet& logger) {
    JsonObject object;
    return pollSettings(object, logger).done();
}

}  // namespace qs
