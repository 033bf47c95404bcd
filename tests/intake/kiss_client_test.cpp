#include "intake/kiss_client.h"
#include "support/kiss_server.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

TEST(KissClient, WaitsDoubleWhileConnectionsFailAndStartAgainAfterOneHeld) {
    LocalKissServer server;
    KissClient client;
    client.SetRemote("127.0.0.1", server.port);
    client.SetReconnect(ReconnectPolicy{Backoff(10ms, 80ms), 1s});  // 1 s to 60 s, faster

    // the server takes each connection and closes it at once, but lets the seventh hold a while
    std::vector<std::chrono::milliseconds> waits;
    QObject::connect(&server.server, &QTcpServer::newConnection, [&] {
        QTcpSocket* peer = server.server.nextPendingConnection();
        waits.push_back(client.reconnectWait());
        const bool holds = waits.size() == 7;
        QTimer::singleShot(holds ? 1200ms : 0ms, peer, [peer] { peer->disconnectFromHost(); });
    });
    client.Connect();
    ASSERT_TRUE(QTest::qWaitFor([&] { return waits.size() == 8; }, 10000)) << waits.size() << " connections";
    client.Close();
    // the first try waits for nothing; the eighth follows the connection that held
    EXPECT_EQ(std::vector(waits.begin() + 1, waits.end()),
              (std::vector<std::chrono::milliseconds>{10ms, 20ms, 40ms, 80ms, 80ms, 80ms, 10ms}));
}
