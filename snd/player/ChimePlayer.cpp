#include "snd/player/ChimePlayer.h"

namespace {

std::unique_ptr<ChimePlayer>& currentPlayer()
{
    static std::unique_ptr<ChimePlayer> player;
    return player;
}

}  // namespace

ChimePlayer& chimePlayer()
{
    std::unique_ptr<ChimePlayer>& player = currentPlayer();
    if (!player)
        player = makeSystemChimePlayer();
    return *player;
}

void setChimePlayer(std::unique_ptr<ChimePlayer> player)
{
    currentPlayer() = std::move(player);
}
