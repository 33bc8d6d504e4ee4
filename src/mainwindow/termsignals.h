#pragma once

#include <QObject>

class QSocketNotifier;

// SIGTERM, SIGHUP and SIGINT turned into a Qt signal on the user-interface
// thread. The handler only writes one byte into a socket pair; everything
// else happens in the event loop, where it is safe. One per program.
class TermSignals : public QObject
{
    Q_OBJECT
public:
    explicit TermSignals(QObject* parent = nullptr);
    ~TermSignals() override; // the default handlers come back

    bool isActive() const { return mNotifier != nullptr; }

signals:
    void received(int signalNumber);

private:
    void readSignal();

    QSocketNotifier* mNotifier = nullptr;
};
