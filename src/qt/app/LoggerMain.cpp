#include "qt/app/LoggerMain.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <string>

#include "qt/app/LoggerApp.h"
#include "qt/app/ProgramParts.h"
#include "qt/headless/HeadlessLogger.h"
#include "qt/runtime/QtRuntime.h"
#include "qt/runtime/TerminationSignals.h"
#include "window/OwnFolder.h"

namespace qs {

namespace {

void runWindow(QApplication& app, const std::function<void(LoggerApp&)>& shown,
               const std::optional<std::string>& startupError, const PublishingOptions& publishing,
               const ServingOptions& serving, const std::string& workingNotice) {
    LoggerApp logger;
    // A close may come while handlers wait in nested loops or a box is
    // open: quitting ends all of them, and exec returns once they unwound.
    QObject::connect(&logger.window, &Quillstone3::closed, &app, &QCoreApplication::quit);
    TerminationSignals termination([&logger] { logger.window.close(); });

    logger.create();
    std::string publishingError;
    logger.parts.startPublishing(publishing, publishingError);
    if (BrokerPublishing* p = logger.parts.publishing.get()) {
        p->publisher().onStatus = [&logger](const std::string& text, bool) { logger.window.showPublishing(text); };
        logger.window.showPublishing(p->publisher().statusText());
    }
    std::string servingError;
    logger.parts.startServing(serving, servingError);
    if (LoggerServer* s = logger.parts.serving.get()) logger.window.showServing(s->servingText());
    else if (!servingError.empty()) logger.window.showServing("Not serving");
    if (!workingNotice.empty()) logger.window.showWorkingFolder(workingNotice);
    logger.window.show();
    if (startupError) logger.dialogs.reportLater(*startupError);
    if (!publishingError.empty()) logger.dialogs.reportLater(publishingError);
    if (!servingError.empty()) logger.dialogs.reportLater(servingError + "; logging goes on without the page");
    if (shown) shown(logger);
    app.exec();
}

void showFatal(const QApplication* app, const std::string& message) {
    if (app) {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Quillstone"), QString::fromStdString(message));
        box.setTextFormat(Qt::PlainText);
        box.exec();
    } else {
        std::fprintf(stderr, "quillstone: %s\n", message.c_str());
    }
}

}  // namespace

WorkingFolder EnterWorkingFolder(const std::vector<std::string>& args) {
    if (!ProgramOptions::parse(args).ownFolder) return {};
    const OwnFolder folder = EnterOwnFolder(std::getenv("HOME"));
    if (!folder.error.empty()) return {{}, folder.error};
    return {WorkingFolderNotice(folder.path), std::nullopt};
}

int RunLogger(int argc, char** argv, const std::function<void(LoggerApp&)>& shown,
              const std::optional<std::string>& startupError, const PublishingOptions& publishing,
              const ServingOptions& serving, const std::string& workingNotice) {
    std::unique_ptr<QApplication> app;
    try {
        app = std::make_unique<QApplication>(argc, argv);
        UseCLocaleForNumbers();
        runWindow(*app, shown, startupError, publishing, serving, workingNotice);
    } catch (const std::exception& e) {
        showFatal(app.get(), e.what());
    } catch (...) {
        showFatal(app.get(), std::string());
    }
    return 0;
}

int RunHeadless(int argc, char** argv, bool quiet, const PublishingOptions& publishing,
                const ServingOptions& serving, CommandMode mode, const std::string& workingNotice) {
    QCoreApplication app(argc, argv);
    UseCLocaleForNumbers();
    ProgramParts<HeadlessFace> parts;
    if (!workingNotice.empty()) parts.face.console.out(workingNotice);
    std::string publishingError;
    if (!parts.startPublishing(publishing, publishingError)) {
        std::fprintf(stderr, "quillstone: %s\n", publishingError.c_str());
        return 2;
    }
    if (BrokerPublishing* p = parts.publishing.get()) {
        // One line when the state changes, not one per waiting sample.
        p->publisher().onStatus = [&parts](const std::string& text, bool newState) {
            if (newState) parts.face.console.out(text);
        };
    }
    std::string servingError;
    parts.startServing(serving, servingError);
    if (LoggerServer* s = parts.serving.get()) parts.face.console.out(s->servingText());
    else if (!servingError.empty())
        parts.face.console.err(servingError + "; logging goes on without the page");
    HeadlessLogger logger(parts.logger, parts.runtime, parts.face.console, parts.face.chart, parts.stability, quiet);
    logger.setCommandMode(mode);
    return logger.run();
}

}  // namespace qs
