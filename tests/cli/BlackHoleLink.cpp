#include "BlackHoleLink.h"

#include <fcntl.h>
#include <sched.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QProcess>
#include <csignal>
#include <utility>

namespace brivano::cli::test {
namespace {

constexpr int kCommandMs = 10000;

}  // namespace

BlackHoleLink::BlackHoleLink() {
    int ready[2];
    if (::pipe2(ready, O_CLOEXEC) != 0) {
        why_ = QStringLiteral("pipe2 failed");
        return;
    }
    holder_ = ::fork();
    if (holder_ == 0) {
        // The namespace lives as long as this process, which dies with the
        // test however the test ends.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        const char answer = ::unshare(CLONE_NEWNET) == 0 ? 'y' : 'n';
        (void)!::write(ready[1], &answer, 1);
        for (;;)
            ::pause();
    }
    ::close(ready[1]);
    char answer = 'n';
    const bool heard = holder_ > 0 && ::read(ready[0], &answer, 1) == 1;
    ::close(ready[0]);
    if (!heard || answer != 'y') {
        why_ = QStringLiteral("no network namespace of its own (needs CAP_NET_ADMIN)");
        return;
    }
    const QString id = QString::number(::getpid());
    const QString subnet = QStringLiteral("10.203.%1.").arg(::getpid() % 250);
    hostSide_ = QStringLiteral("bhole") + id;
    const QString otherSide = QStringLiteral("bholx") + id;
    hostAddress_ = subnet + u'1';
    const std::pair<QStringList, bool> steps[] = {
        {{"link", "add", hostSide_, "type", "veth", "peer", "name", otherSide, "netns",
          QString::number(holder_)},
         false},
        {{"addr", "add", hostAddress_ + QStringLiteral("/30"), "dev", hostSide_}, false},
        {{"link", "set", hostSide_, "up"}, false},
        {{"addr", "add", subnet + QStringLiteral("2/30"), "dev", otherSide}, true},
        {{"link", "set", otherSide, "up"}, true},
        {{"link", "set", "lo", "up"}, true},
    };
    for (const auto& [arguments, inside] : steps) {
        if (!ip(arguments, inside))
            return;  // ip() has said why
    }
}

BlackHoleLink::~BlackHoleLink() {
    if (holder_ <= 0)
        return;
    ::kill(holder_, SIGKILL);
    ::waitpid(holder_, nullptr, 0);
    // The pair goes with the namespace; this is for a kernel that is slow
    // to let it go.
    if (!hostSide_.isEmpty())
        QProcess::execute(QStringLiteral("ip"), {"link", "del", hostSide_});
}

QStringList BlackHoleLink::enter() const {
    return {QStringLiteral("nsenter"), QStringLiteral("--net=/proc/%1/ns/net").arg(holder_),
            QStringLiteral("--")};
}

bool BlackHoleLink::dropEverything() {
    // With this side down the other loses its carrier, and what it sends
    // is dropped there; this side sends nothing any more.
    return ip({"link", "set", hostSide_, "down"});
}

bool BlackHoleLink::ip(const QStringList& arguments, bool inside) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    if (inside)
        process.start(enter().first(), enter().mid(1) + QStringList{"ip"} + arguments);
    else
        process.start(QStringLiteral("ip"), arguments);
    if (!process.waitForFinished(kCommandMs) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        why_ = QStringLiteral("ip %1: %2")
                   .arg(arguments.join(u' '), QString::fromLocal8Bit(process.readAll()).trimmed());
        if (process.error() == QProcess::FailedToStart)
            why_ = QStringLiteral("the ip program is not installed");
        return false;
    }
    return true;
}

}  // namespace brivano::cli::test
