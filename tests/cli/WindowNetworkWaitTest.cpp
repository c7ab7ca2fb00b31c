// The window closed while a built-in provider waits on a silent server:
// the wait hears the close, the run stops, the window goes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include "MainWindowTestFixture.h"
#include "NetworkRelay.h"
#include "app/ClickLabel.h"
#include "app/ExportForm.h"
#include "platform/ToolPaths.h"

namespace brivano::app::test {
namespace {

using cli::test::SilentListener;

constexpr qint64 kDoesNotHangMs = 20000;

class WindowNetworkWaitTest : public MainWindowTest {};

TEST_F(WindowNetworkWaitTest, ClosingWhileTheServerKeepsSilentStopsTheRunAndClosesTheWindow) {
    for (const char* provider : {"PostgreSQL", "MariaDB"}) {
        SCOPED_TRACE(provider);
        const SilentListener silent;
        // The default limits: only the close ends this wait early.
        writeSettings(QStringLiteral("Provider=%1;Server=127.0.0.1;Port=%2;Database=d;Uid=u;Pwd=p")
                          .arg(QString::fromLatin1(provider))
                          .arg(silent.port()));
        const QString exportFile = platform::ToolPaths(drive_.path()).exportFile();
        QFile previous(exportFile);
        ASSERT_TRUE(previous.open(QIODevice::WriteOnly));
        previous.write("I,Precedente,0,0\r\n");
        previous.close();
        openWindow();
        tickGroup(1);
        // Polled from the events that the provider's wait lets through.
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, &window(), [&] {
            if (silent.hasClient())
                window().close();
        });
        closer.start(50);
        QElapsedTimer clock;
        clock.start();

        click(form().label2);

        EXPECT_LT(clock.elapsed(), kDoesNotHangMs);
        EXPECT_FALSE(window().isVisible());
        EXPECT_FALSE(window().exportRun().isRunning());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_TRUE(messages_.isEmpty()) << messages_.join(u'|').toStdString();
        QFile kept(exportFile);
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(kept.readAll(), QByteArray("I,Precedente,0,0\r\n"));
        messages_.clear();
    }
}

}  // namespace
}  // namespace brivano::app::test
