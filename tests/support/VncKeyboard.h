#pragma once
#include <QByteArray>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QtEndian>

#include <cstdint>

namespace qs::test {

// A person at a VNC viewer, pressing keys in a program that runs on Qt's
// VNC platform (QT_QPA_PLATFORM=vnc:port=N). The program takes no command
// line and nothing from the environment, so this is how a test drives the
// real binary: the keys reach it exactly as typed ones do.
class VncKeyboard {
public:
    static constexpr std::uint32_t kReturn = 0xff0d;

    // A loopback port that was free a moment ago.
    static quint16 freePort() {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        return probe.serverPort();
    }

    // Connects and shakes hands (protocol 3.3, no security), retrying until
    // the program's VNC server is up or timeoutMs has passed.
    bool connect(quint16 port, int timeoutMs) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < timeoutMs) {
            socket_.abort();
            socket_.connectToHost(QHostAddress::LocalHost, port);
            if (socket_.waitForConnected(500) && handshake()) return true;
            QThread::msleep(100);
        }
        return false;
    }

    // Presses and releases one key (an X11 keysym).
    bool press(std::uint32_t keysym) { return key(keysym, true) && key(keysym, false); }

private:
    bool readExactly(int n, QByteArray& out) {
        out.clear();
        while (out.size() < n) {
            if (socket_.bytesAvailable() == 0 && !socket_.waitForReadyRead(2000)) return false;
            out += socket_.read(n - out.size());
        }
        return true;
    }

    bool handshake() {
        QByteArray data;
        if (!readExactly(12, data) || !data.startsWith("RFB ")) return false;
        socket_.write("RFB 003.003\n");
        if (!readExactly(4, data) || qFromBigEndian<quint32>(data.constData()) != 1) return false;
        socket_.write(QByteArray(1, '\1'));  // shared session
        if (!readExactly(24, data)) return false;
        const quint32 nameLength = qFromBigEndian<quint32>(data.constData() + 20);
        return readExactly(static_cast<int>(nameLength), data);
    }

    bool key(std::uint32_t keysym, bool down) {
        char message[8] = {4, static_cast<char>(down ? 1 : 0), 0, 0};
        qToBigEndian<quint32>(keysym, message + 4);
        socket_.write(message, sizeof message);
        return socket_.waitForBytesWritten(2000) || socket_.bytesToWrite() == 0;
    }

    QTcpSocket socket_;
};

}  // namespace qs::test
