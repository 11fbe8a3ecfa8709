// How many games each automatic completion wins without a guess.
//
//   strengthstudy [--games N]
//
// Plays N games (10,000 unless told otherwise) on each of the three standard
// levels. Every game is dealt by the field itself, as the game deals: one Setup
// for the level, then a Reset from a seed that depends only on the level and the
// game's number, so any run, and any shorter run, replays the same boards. The
// game opens a random one of the board's cells whose number is 0 (a board
// without one is counted apart and not played), then one method applies its
// proven verdicts until it stops:
//   item 4   auto-complete, simple   (cCompute code 3)
//   item 5   auto-complete, advanced (cCompute code 4)
//   complete every proof of the exact analysis, round after round
// The three methods play the same boards from the same opening. A game counts as
// won when the field's status is won at the end.
//
// The verdicts are proofs, so a method may stop short but must never open a mine
// or flag a safe cell; a game where one did is reported loudly and the program
// exits with 1. So does a game a script won and the exact method did not: what a
// script proves, the exact analysis proves too.
#include "AppCodes.h"
#include "CompleteByOdds.h"
#include "FieldCodes.h"
#include "OddsEngine.h"
#include "cCell.h"
#include "cCompute.h"
#include "cField.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {
constexpr int DefaultGames = 10000;
// The beginner, intermediate and expert levels: the first three of the game's level table.
constexpr int StudiedLevels = GameItem::Expert - GameItem::FirstLevel + 1;
constexpr int ProgressSteps = 10;

// Different salts keep the deal and the choice of the opening independent.
constexpr std::uint64_t DealSalt = 0x6d696e6573ULL;
constexpr std::uint64_t OpeningSalt = 0x6f70656eULL;

enum Method { Item4, Item5, Complete, MethodCount };
constexpr std::array<const char*, MethodCount> MethodNames = {"item 4", "item 5", "complete"};

// A well-mixed 64-bit value from a small one (splitmix64's finaliser), so that
// neighbouring games get unrelated seeds.
std::uint64_t mix(std::uint64_t x)
{
    x += 0x9e3779b97f4a7c15ULL;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

std::uint64_t gameHash(int level, int game, std::uint64_t salt)
{
    return mix(salt ^ mix((static_cast<std::uint64_t>(level) << 32) | static_cast<std::uint32_t>(game)));
}

quint32 dealSeed(int level, int game)
{
    return static_cast<quint32>(gameHash(level, game, DealSalt) >> 32);
}

struct MethodTally {
    int won = 0;
    int exploded = 0;     // games in which a mine was opened
    int wrongFlags = 0;   // games in which a safe cell was flagged
    int budgetCut = 0;    // games in which an exact analysis ran out of time
    double seconds = 0;
};

struct LevelTally {
    Level level{};
    int dealt = 0;
    int noOpening = 0;
    int completeBehind = 0;  // games a script won and the exact method, never cut short, did not
    std::array<MethodTally, MethodCount> methods{};
    double seconds = 0;

    int played() const { return dealt - noOpening; }
};

std::string levelName(const Level& level)
{
    return std::to_string(level.width) + " x " + std::to_string(level.height) + " / " +
           std::to_string(level.mines);
}

class Player {
public:
    explicit Player(const Level& level)
    {
        // The smallest zoom: without a picture box the size only sets numbers.
        m_field.Setup(level.width, level.height, level.mines, ViewMode::Normal, ZoomSize::Tiny);
    }

    cField& field() { return m_field; }

    void deal(quint32 seed)
    {
        m_field.Randomize(seed);
        m_field.Reset();
    }

    // The opening move as a click makes it: open the cell, the game runs, the win test follows.
    void open(int cell)
    {
        m_field.ChkCell(cell);
        m_field.setFldStatus(FieldStatus::Running);
        m_field.ChkWin();
    }

    // Returns false when an exact analysis was cut by its budget.
    bool complete(Method method)
    {
        switch (method) {
        case Item4:
            m_comp.Init(cCompute::CmdScriptA, &m_field);
            return true;
        case Item5:
            m_comp.Init(cCompute::CmdScriptB, &m_field);
            return true;
        case Complete:
            return completeByOdds(m_field, m_engine).exact;
        case MethodCount:
            break;
        }
        return true;
    }

private:
    cField m_field;
    cCompute m_comp;
    OddsEngine m_engine;
};

struct Outcome {
    bool won = false;
    bool exploded = false;
    bool wrongFlag = false;
};

Outcome outcome(cField& field)
{
    Outcome out;
    out.won = field.FldStatus() == FieldStatus::Won;
    for (int i = 0; const cCell* cell = field.Cell(i); ++i) {
        out.exploded = out.exploded || cell->Status() == CellStatus::Exploded;
        out.wrongFlag = out.wrongFlag || (cell->Status() == CellStatus::Flagged && !cell->Mine());
    }
    out.exploded = out.exploded || field.FldStatus() == FieldStatus::Lost;
    return out;
}

bool sameMines(cField& a, cField& b)
{
    for (int i = 0; const cCell* cell = a.Cell(i); ++i) {
        const cCell* other = b.Cell(i);
        if (!other || other->Mine() != cell->Mine())
            return false;
    }
    return true;
}

std::vector<int> zeroCells(cField& field)
{
    std::vector<int> zeros;
    for (int i = 0; const cCell* cell = field.Cell(i); ++i) {
        if (!cell->Mine() && cell->Nr() == 0)
            zeros.push_back(i);
    }
    return zeros;
}

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Reports a fault as it happens, so that a long run shows it at once, and again in the summary.
void alarm(const char* what, const char* method, const LevelTally& tally, int game, quint32 seed)
{
    std::fprintf(stderr, "!!! %s: %s on %s, game %d (deal seed %u)\n", what, method,
                 levelName(tally.level).c_str(), game, seed);
}

LevelTally study(int levelIndex, int games)
{
    LevelTally tally;
    tally.level = Levels[static_cast<size_t>(levelIndex)];
    std::array<std::unique_ptr<Player>, MethodCount> players;
    for (auto& player : players)
        player = std::make_unique<Player>(tally.level);

    const auto levelStart = std::chrono::steady_clock::now();
    const int step = games / ProgressSteps > 0 ? games / ProgressSteps : 1;
    for (int g = 0; g < games; ++g) {
        const quint32 seed = dealSeed(levelIndex, g);
        for (auto& player : players)
            player->deal(seed);
        ++tally.dealt;
        for (int m = 1; m < MethodCount; ++m) {
            if (!sameMines(players[0]->field(), players[static_cast<size_t>(m)]->field())) {
                alarm("the same seed dealt two different boards", MethodNames[static_cast<size_t>(m)],
                      tally, g, seed);
                std::exit(EXIT_FAILURE);
            }
        }

        const std::vector<int> zeros = zeroCells(players[0]->field());
        if (zeros.empty()) {
            ++tally.noOpening;
            continue;
        }
        const int opening = zeros[gameHash(levelIndex, g, OpeningSalt) % zeros.size()];

        std::array<bool, MethodCount> won{};
        bool completeExact = true;
        for (int m = 0; m < MethodCount; ++m) {
            const auto mi = static_cast<size_t>(m);
            Player& player = *players[mi];
            MethodTally& mt = tally.methods[mi];
            const auto start = std::chrono::steady_clock::now();
            player.open(opening);
            const bool exact = player.complete(static_cast<Method>(m));
            mt.seconds += secondsSince(start);
            const Outcome out = outcome(player.field());
            won[mi] = out.won;
            mt.won += out.won;
            mt.budgetCut += !exact;
            if (m == Complete)
                completeExact = exact;
            if (out.exploded) {
                ++mt.exploded;
                alarm("MINE OPENED", MethodNames[mi], tally, g, seed);
            }
            if (out.wrongFlag) {
                ++mt.wrongFlags;
                alarm("SAFE CELL FLAGGED", MethodNames[mi], tally, g, seed);
            }
        }
        // A cut analysis may prove less; only a full one must keep up with the scripts.
        if ((won[Item4] || won[Item5]) && !won[Complete] && completeExact) {
            ++tally.completeBehind;
            alarm("a script won a game the exact method did not", MethodNames[Complete], tally, g, seed);
        }

        if ((g + 1) % step == 0 || g + 1 == games)
            std::fprintf(stderr, "%s: %d / %d games, %.0f s\n", levelName(tally.level).c_str(), g + 1, games,
                         secondsSince(levelStart));
    }
    tally.seconds = secondsSince(levelStart);
    return tally;
}

double percent(int part, int whole)
{
    constexpr double Hundred = 100.0;
    return whole > 0 ? Hundred * part / whole : 0.0;
}

// Prints the table and the soundness summary; returns whether every guard held.
bool report(const std::vector<LevelTally>& tallies, double totalSeconds)
{
    std::printf("\nGames won without a guess, from a random opening on a 0\n\n");
    std::printf("%-14s %7s %10s", "level", "played", "no opening");
    for (const char* name : MethodNames)
        std::printf("  %16s", name);
    std::printf("  %9s\n", "seconds");
    for (const LevelTally& t : tallies) {
        std::printf("%-14s %7d %10d", levelName(t.level).c_str(), t.played(), t.noOpening);
        for (const MethodTally& m : t.methods) {
            std::printf("  %7d (%5.1f %%)", m.won, percent(m.won, t.played()));
        }
        std::printf("  %9.1f\n", t.seconds);
    }
    std::printf("\nitem 4: auto-complete, simple (code 3); item 5: auto-complete, advanced (code 4);\n"
                "complete: every proof of the exact analysis until nothing new is proven.\n");
    std::printf("Seconds per method (opening and completion):");
    for (size_t m = 0; m < MethodCount; ++m) {
        double seconds = 0;
        for (const LevelTally& t : tallies)
            seconds += t.methods[m].seconds;
        std::printf(" %s %.1f;", MethodNames[m], seconds);
    }
    std::printf(" whole run %.1f s\n\n", totalSeconds);

    bool sound = true;
    for (const LevelTally& t : tallies) {
        for (size_t m = 0; m < MethodCount; ++m) {
            const MethodTally& mt = t.methods[m];
            if (mt.exploded || mt.wrongFlags) {
                sound = false;
                std::printf("!!! UNSOUND: %s on %s opened a mine in %d games and flagged a safe cell in %d\n",
                            MethodNames[m], levelName(t.level).c_str(), mt.exploded, mt.wrongFlags);
            }
            if (mt.budgetCut)
                std::printf("note: %s on %s: an analysis ran out of time in %d games\n", MethodNames[m],
                            levelName(t.level).c_str(), mt.budgetCut);
        }
        if (t.completeBehind) {
            sound = false;
            std::printf("!!! INCOMPLETE: on %s a script won %d games the exact method did not\n",
                        levelName(t.level).c_str(), t.completeBehind);
        }
    }
    if (sound)
        std::printf("Every game: no mine opened, no safe cell flagged, and the exact method won every game "
                    "a script won.\n");
    return sound;
}

int parseGames(int argc, char** argv)
{
    int games = DefaultGames;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--games") == 0 && i + 1 < argc) {
            char* end = nullptr;
            const long n = std::strtol(argv[++i], &end, 10);
            if (!end || *end || n < 1 || n > DefaultGames * DefaultGames) {
                std::fprintf(stderr, "strengthstudy: --games takes a positive count\n");
                std::exit(EXIT_FAILURE);
            }
            games = static_cast<int>(n);
        } else {
            std::fprintf(stderr, "usage: strengthstudy [--games N]\n");
            std::exit(EXIT_FAILURE);
        }
    }
    return games;
}
}

int main(int argc, char** argv)
{
    const int games = parseGames(argc, argv);
    const auto start = std::chrono::steady_clock::now();
    std::vector<LevelTally> tallies;
    for (int level = 0; level < StudiedLevels; ++level)
        tallies.push_back(study(level, games));
    return report(tallies, secondsSince(start)) ? EXIT_SUCCESS : EXIT_FAILURE;
}
