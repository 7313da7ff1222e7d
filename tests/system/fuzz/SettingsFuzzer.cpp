// The settings file from arbitrary bytes. Reading must never fail, and what
// was read must survive writing: the file written from it reads back as the
// same values (line breaks inside a text become blanks), and writing those
// gives the same bytes again. The window agrees: opening it on any settings
// file and closing it writes a file that, opened and closed again, is written
// byte for byte the same.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <variant>

#include "TempWorkDir.h"
#include "platform/Exception.h"
#include "platform/virtual/VirtualPlatform.h"
#include "window/Settings.h"
#include "window/TGPIBTelnet.h"

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "settings: %s\n", what);
    std::abort();
}

// What a value becomes once written and read back.
qs::SettingValue written(const std::optional<qs::SettingValue>& value, qs::SettingKind kind) {
    if (kind == qs::SettingKind::Flag) return value && std::get<bool>(*value);
    std::string text = value ? std::get<std::string>(*value) : std::string();
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
    return text;
}

void checkFileLayout(const std::string& bytes) {
    std::size_t lines = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') fail("a LF without its CR");
        if (bytes[i] == '\r') {
            if (i + 1 >= bytes.size() || bytes[i + 1] != '\n') fail("a CR inside a line");
            ++lines;
            ++i;
        }
    }
    if (lines != qs::kSettingCount || bytes.size() < 2 || bytes.substr(bytes.size() - 2) != "\r\n")
        fail("not 23 lines each ended by CR LF");
}

// Opens a window in the working directory (reading config.txt) and closes it
// (writing config.txt); returns what it wrote.
std::string openAndClose() {
    qs::VirtualPlatform vp;
    qs::TGPIBTelnet w(vp.platform);
    try {
        w.FormCreate();
    } catch (const qs::Exception&) {
        // A value its control's handler refuses: reported, and the window opens.
    } catch (const std::exception& e) {
        std::fprintf(stderr, "settings: unexpected %s\n", e.what());
        std::abort();
    }
    bool canClose = true;
    w.FormCloseQuery(canClose);
    return qs::test::ReadFile(qs::kSettingsFileName);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    const qs::Settings read = qs::ParseSettings(bytes);
    const std::string file = qs::FormatSettings(read);
    checkFileLayout(file);
    const qs::Settings reread = qs::ParseSettings(file);
    for (std::size_t i = 0; i < qs::kSettingCount; ++i) {
        if (!reread.values[i]) fail("a value missing from a written file");
        if (*reread.values[i] != written(read.values[i], qs::SettingSlots()[i].kind))
            fail("a value changed by writing and reading it");
    }
    if (qs::FormatSettings(reread) != file) fail("writing what was read back changed the file");

    qs::test::TempWorkDir dir;
    qs::test::WriteFile(qs::kSettingsFileName, bytes);
    const std::optional<qs::Settings> fromFile = qs::ReadSettingsFile(qs::kSettingsFileName);
    if (!fromFile || fromFile->values != read.values) fail("the file reads otherwise than its bytes");

    const std::string first = openAndClose();
    checkFileLayout(first);
    if (openAndClose() != first) fail("opening and closing the window again changed config.txt");
    return 0;
}
