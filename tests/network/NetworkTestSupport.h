#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "network/ChessConnection.h"
#include "platform/IniFile.h"
#include "tests/platform/TempFolder.h"

namespace tavlor::testing {

using TStrings = std::vector<std::string>;

// What one Receive pass gave.
struct TReceived {
    TMessageType Type = TMessageType::mtUnknown;
    TStrings Lines;

    bool operator==(const TReceived&) const = default;
    friend std::ostream& operator<<(std::ostream& out, const TReceived& received) {
        out << MessageTypeName(received.Type);
        for (const std::string& line : received.Lines)
            out << " [" << line << "]";
        return out;
    }
};

// A temporary network folder and the connections of the players who use it.
class NetworkFolderTest : public ::testing::Test {
protected:
    // A connection of `player` to the folder, not yet announced.
    std::unique_ptr<TChessConnection> Open(std::string_view player) {
        auto connection = std::make_unique<TChessConnection>();
        connection->OwnName = player;
        connection->GameTransferWait = std::chrono::milliseconds(0);
        EXPECT_EQ(connection->SetPath(cKindNetworkFolder, Folder.Path()),
                  TConnectionState::csConnected);
        return connection;
    }

    // Opened and announced, the way the window opens a network slot.
    std::unique_ptr<TChessConnection> Announce(std::string_view player) {
        auto connection = Open(player);
        EXPECT_EQ(connection->Send({"1"}, TMessageType::mtAskForPlay), TConnectionState::csSent);
        return connection;
    }

    static TReceived Receive(TChessConnection& connection) {
        TReceived received;
        EXPECT_EQ(connection.Receive(received.Lines, received.Type), TConnectionState::csReceived);
        return received;
    }

    TIniFile Ini() const { return TIniFile(Folder.File(cTransferFileName)); }

    TStrings KeysOf(std::string_view section) const {
        TStrings keys;
        EXPECT_TRUE(Ini().ReadSection(section, keys));
        return keys;
    }

    TStrings Sections() const {
        TStrings sections;
        EXPECT_TRUE(Ini().ReadSections(sections));
        return sections;
    }

    TTempFolder Folder;
};

}  // namespace tavlor::testing
