#pragma once

#include <sys/types.h>

#include <QString>
#include <QStringList>

namespace brivano::cli::test {

// A network link of the test's own: a veth pair from this network namespace
// into a new one, held by a child process that dies with the test (and the
// namespace and the pair with it). A program run through enter() reaches
// this side at hostAddress(); dropEverything() makes the link lose every
// packet from then on, in both directions and without a word, as a cable
// pulled out or a firewall that drops. Needs CAP_NET_ADMIN and the `ip`
// and `nsenter` programs: without them ready() is false and why() says.
class BlackHoleLink {
  public:
    BlackHoleLink();
    ~BlackHoleLink();
    BlackHoleLink(const BlackHoleLink&) = delete;
    BlackHoleLink& operator=(const BlackHoleLink&) = delete;

    bool ready() const { return why_.isEmpty(); }
    const QString& why() const { return why_; }
    // This side's address, which a relay listens on.
    const QString& hostAddress() const { return hostAddress_; }
    // The wrapper that runs a program in the other namespace.
    QStringList enter() const;
    // From now on every packet on the link is lost.
    bool dropEverything();

  private:
    bool ip(const QStringList& arguments, bool inside = false);

    pid_t holder_ = -1;
    QString hostSide_;
    QString hostAddress_;
    QString why_;
};

}  // namespace brivano::cli::test
