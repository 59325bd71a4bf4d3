#pragma once

class HeroPlayer;
class QString;

// The entry points of libbrivel_clips.so, the clips' players on Qt Multimedia (MediaHeroPlayer),
// loaded when the onboarding first shows a clip (MediaClips). clipsmodule.exports lists what the
// module takes from the program.
struct ClipsModule
{
    static constexpr char name[] = "clips";

    HeroPlayer *(*createPlayer)(const QString &filePath) = nullptr;
    // Players alive in the process.
    int (*livePlayers)() = nullptr;
};
