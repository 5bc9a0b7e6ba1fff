#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "network/ChessConnection.h"
#include "platform/IniFile.h"
#include "tests/platform/TempFolder.h"

namespace tavlor::testing {

// A temporary network folder and the connections of the players who use it.
class NetworkFolderTest : public ::testing::Test {
protected:
    // A connection of `player` to the folder, not yet announced.
    std::unique_ptr<TChessConnection> Open(std::string_view player) {
        auto connection = std::make_unique<TChessConnection>();
        connection->OwnName = player;
        EXPECT_EQ(connection->SetPath(cKindNetworkFolder, Folder.Path()),
                  TConnectionState::csConnected);
        connection->GameTransferWait = std::chrono::milliseconds(0);
        return connection;
    }

    // Opened and announced, the way the window opens a network slot.
    std::unique_ptr<TChessConnection> Announce(std::string_view player) {
        auto connection = Open(player);
        EXPECT_EQ(connection->Send({"1"}, TMessageType::mtAskForPlay), TConnectionState::csSent);
        return connection;
    }

    struct TReceived {
        TMessageType Type = TMessageType::mtUnknown;
        std::vector<std::string> Lines;
    };

    static TReceived Receive(TChessConnection& connection) {
        TReceived received;
        EXPECT_EQ(connection.Receive(received.Lines, received.Type), TConnectionState::csReceived);
        return received;
    }

    std::string TransferFile() const { return Folder.File(cTransferFileName); }
    TIniFile Ini() const { return TIniFile(TransferFile()); }

    std::vector<std::string> KeysOf(std::string_view section) const {
        std::vector<std::string> keys;
        EXPECT_TRUE(Ini().ReadSection(section, keys));
        return keys;
    }

    std::vector<std::string> Sections() const {
        std::vector<std::string> sections;
        EXPECT_TRUE(Ini().ReadSections(sections));
        return sections;
    }

    TTempFolder Folder;
};

}  // namespace tavlor::testing
