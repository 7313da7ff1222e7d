#pragma once
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "FaultReport.h"

namespace qs::test {

// How a case's child process ended.
struct ChildOutcome {
    enum class End {
        Passed,   // exited 0 at the end of the case
        Failed,   // a check of the case failed (exit 1), the process stayed whole
        Crashed,  // died by a signal, or left without finishing the case
        Hung,     // still running at the bound, and killed
    };
    std::string name;
    End end = End::Crashed;
    FaultReport report;
    std::string output;  // stdout and stderr, merged
};

// Every test of this executable but those of the suite `except`.
inline std::vector<std::string> TestNamesExcept(const std::string& except) {
    std::vector<std::string> names;
    const ::testing::UnitTest& unit = *::testing::UnitTest::GetInstance();
    for (int i = 0; i < unit.total_test_suite_count(); ++i) {
        const ::testing::TestSuite& suite = *unit.GetTestSuite(i);
        if (except == suite.name()) continue;
        for (int j = 0; j < suite.total_test_count(); ++j)
            names.push_back(std::string(suite.name()) + "." + suite.GetTestInfo(j)->name());
    }
    return names;
}

// Runs each named test of this executable in a child process of its own,
// at most `parallel` at a time, each killed after timeoutMs.
inline std::vector<ChildOutcome> RunInChildren(const std::vector<std::string>& names, int parallel, int timeoutMs) {
    struct Running {
        std::size_t index;
        std::unique_ptr<QProcess> process;
        QElapsedTimer clock;
        std::string reportPath;
    };
    QTemporaryDir reports;
    std::vector<ChildOutcome> outcomes(names.size());
    std::vector<Running> running;
    std::size_t next = 0;

    const auto finish = [&](Running& r, bool hung) {
        ChildOutcome& o = outcomes[r.index];
        o.name = names[r.index];
        o.output += r.process->readAll().toStdString();
        o.report = ReadFaultReport(r.reportPath);
        if (hung) o.end = ChildOutcome::End::Hung;
        else if (r.process->exitStatus() == QProcess::CrashExit || !o.report.finished)
            o.end = ChildOutcome::End::Crashed;
        else if (r.process->exitCode() == 0) o.end = ChildOutcome::End::Passed;
        else o.end = ChildOutcome::End::Failed;
    };

    while (next < names.size() || !running.empty()) {
        while (static_cast<int>(running.size()) < parallel && next < names.size()) {
            Running r{next, std::make_unique<QProcess>(), {}, {}};
            r.reportPath = reports.filePath(QString::number(next) + QStringLiteral(".report")).toStdString();
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QString::fromLatin1(kFaultReportVariable), QString::fromStdString(r.reportPath));
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
            r.process->setProcessEnvironment(env);
            r.process->setProcessChannelMode(QProcess::MergedChannels);
            r.process->start(QCoreApplication::applicationFilePath(),
                             {QStringLiteral("--gtest_filter=") + QString::fromStdString(names[next])});
            r.clock.start();
            running.push_back(std::move(r));
            ++next;
        }
        QTest::qWait(50);
        for (auto it = running.begin(); it != running.end();) {
            // Keeps the pipe from filling up while the child runs.
            outcomes[it->index].output += it->process->readAll().toStdString();
            const bool hung = it->process->state() != QProcess::NotRunning && it->clock.elapsed() > timeoutMs;
            if (hung) {
                it->process->kill();
                it->process->waitForFinished(5000);
            }
            if (hung || it->process->state() == QProcess::NotRunning) {
                finish(*it, hung);
                it = running.erase(it);
            } else {
                ++it;
            }
        }
    }
    return outcomes;
}

}  // namespace qs::test
