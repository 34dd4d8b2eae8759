// chimegen - renders wzqxprog's chime tunes as 16-bit mono WAV files.
//
// Every tune is synthesised from scratch with a small additive bell model
// (inharmonic partials, exponential decay, soft onset), a light room reverb,
// a short fade at the very end and peak normalisation to -3 dBFS.
//
//   chimegen [-r RATE] TUNE OUT.wav   render tune TUNE (1..7)
//   chimegen --list                   print "number seconds title" per tune
//
// Scores are text, one string per voice; see parseScore() for the syntax.
// The tempo of a tune is not given in BPM: it follows from the tune's fixed
// length, so that the last stroke falls `tail` seconds before the end and
// the file is exactly `seconds` long.
//
// Standard library only: g++ -std=c++17 -O2 chimegen.cpp -o chimegen

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kPeak = 0.70794578438413791;  // -3 dBFS
constexpr double kFadeSeconds = 1.0;
constexpr double kLead = 0.25;  // silence before the first stroke

// ---------------------------------------------------------------------------
// Instruments

struct Partial {
    double ratio;  // frequency relative to the struck note
    double amp;
    double tau;  // amplitude decay time constant in seconds (at C5)
};

struct Timbre {
    std::vector<Partial> partials;
    double attack;    // raised-cosine onset, seconds
    double softDull;  // soft strokes lose upper partials: amp *= vel^softDull
};

// Tubular bell / school chime: strong fundamental with a slowly beating twin,
// an octave, and a few inharmonic upper modes that give the metallic strike.
const Timbre& chime()
{
    static const Timbre t{{{0.5, 0.05, 3.0},
                           {1.0, 1.00, 2.2},
                           {1.0016, 0.35, 2.2},
                           {2.0, 0.38, 1.3},
                           {3.01, 0.12, 0.8},
                           {4.17, 0.09, 0.45},
                           {5.43, 0.05, 0.30},
                           {6.80, 0.03, 0.20},
                           {8.21, 0.015, 0.12}},
                          0.006,
                          1.0};
    return t;
}

// Glockenspiel: modes of a free steel bar (1 : 2.756 : 5.404 : 8.933).
const Timbre& glock()
{
    static const Timbre t{
        {{1.0, 1.00, 1.1}, {1.0011, 0.22, 1.1}, {2.756, 0.30, 0.35}, {5.404, 0.11, 0.15}, {8.933, 0.04, 0.08}},
        0.003,
        1.2};
    return t;
}

// Soft bell, close to a vibraphone bar (tuned 1 : 4 : 10) with a mellow twin.
const Timbre& softBell()
{
    static const Timbre t{
        {{1.0, 1.00, 1.8}, {1.0021, 0.30, 1.8}, {2.0, 0.06, 0.9}, {3.98, 0.15, 0.5}, {9.85, 0.025, 0.15}}, 0.009, 1.5};
    return t;
}

// ---------------------------------------------------------------------------
// Scores

struct Voice {
    const Timbre* timbre;
    double gain;
    double damp;     // damp a note after damp * its written length; 0 = let it ring
    double tremolo;  // depth of a slow amplitude tremolo, 0..1
    std::string score;
};

struct Tune {
    int number;
    const char* title;
    double seconds;  // exact length of the rendered file
    int beatsPerBar;
    int transpose;      // semitones applied to every voice
    double tail;        // seconds from the last stroke to the end of the file
    double reverb;      // wet level
    std::string tempo;  // "beat:speed ..." relative tempo changes
    std::vector<Voice> voices;
};

struct Note {
    double beat;
    int midi;
    double beats;  // written length
    double vel;
};

int pitchClass(char letter)
{
    switch (letter) {
    case 'C':
        return 0;
    case 'D':
        return 2;
    case 'E':
        return 4;
    case 'F':
        return 5;
    case 'G':
        return 7;
    case 'A':
        return 9;
    case 'B':
        return 11;
    default:
        throw std::runtime_error(std::string("bad note letter '") + letter + "'");
    }
}

// Letter, accidentals, octave: "C5", "F#4", "Bb3". C4 is MIDI 60.
int parsePitch(const std::string& s)
{
    if (s.size() < 2)
        throw std::runtime_error("bad pitch '" + s + "'");
    int pc = pitchClass(s[0]);
    size_t i = 1;
    for (; i < s.size() && (s[i] == '#' || s[i] == 'b'); ++i)
        pc += s[i] == '#' ? 1 : -1;
    if (i + 1 != s.size() || s[i] < '0' || s[i] > '8')
        throw std::runtime_error("bad pitch '" + s + "'");
    return 12 * (s[i] - '0' + 1) + pc;
}

double parseNumber(const std::string& s)
{
    size_t slash = s.find('/');
    size_t used = 0;
    double v = 0;
    try {
        if (slash == std::string::npos) {
            v = std::stod(s, &used);
            if (used != s.size())
                throw std::invalid_argument(s);
        } else {
            std::string a = s.substr(0, slash), b = s.substr(slash + 1);
            double den = std::stod(b, &used);
            if (used != b.size() || den == 0)
                throw std::invalid_argument(s);
            v = std::stod(a, &used) / den;
            if (used != a.size())
                throw std::invalid_argument(s);
        }
    } catch (const std::logic_error&) {
        throw std::runtime_error("bad number '" + s + "'");
    }
    return v;
}

// Score syntax, tokens separated by blanks:
//   C5:1        note C5 lasting one beat     (lengths may be "0.5" or "1/3")
//   C4+E4+G4:2  chord
//   r:1         rest
//   E5:1@0.6    velocity 0.6 (default 1)
//   |           bar line: must fall on a whole bar, catches miscounted bars
// Returns the notes; `length` receives the total number of beats.
std::vector<Note> parseScore(const std::string& score, int beatsPerBar, double& length)
{
    std::vector<Note> notes;
    std::istringstream in(score);
    std::string tok;
    double beat = 0;
    int bar = 1;
    while (in >> tok) {
        if (tok == "|") {
            double bars = beat / beatsPerBar;
            if (std::fabs(bars - std::round(bars)) > 1e-9)
                throw std::runtime_error("bar " + std::to_string(bar) + " does not add up (at beat "
                                         + std::to_string(beat) + ")");
            ++bar;
            continue;
        }
        size_t colon = tok.find(':');
        if (colon == std::string::npos)
            throw std::runtime_error("token '" + tok + "' has no length");
        std::string what = tok.substr(0, colon), len = tok.substr(colon + 1);
        double vel = 1.0;
        size_t at = len.find('@');
        if (at != std::string::npos) {
            vel = parseNumber(len.substr(at + 1));
            len.resize(at);
        }
        double beats = parseNumber(len);
        if (beats <= 0 || vel <= 0 || vel > 1.5)
            throw std::runtime_error("bad length or velocity in '" + tok + "'");
        if (what != "r") {
            size_t start = 0;
            while (start <= what.size()) {
                size_t plus = what.find('+', start);
                if (plus == std::string::npos)
                    plus = what.size();
                notes.push_back({beat, parsePitch(what.substr(start, plus - start)), beats, vel});
                start = plus + 1;
            }
        }
        beat += beats;
    }
    length = beat;
    return notes;
}

// ---------------------------------------------------------------------------
// Accompaniment from chord symbols
//
// A progression reads like a score, with chord symbols instead of notes:
// "C:4 | F:2 G7:2 | Am:4 | C/E:3". Supported: major, "m", "7", "m7", "dim",
// and a slash bass. arrange() turns it into a voice part: `rhythm` says, beat
// by beat from the start of each chord (cycled), where a stroke falls ('x')
// and where the previous one goes on ('.'). Each stroke lasts until the next
// one. The part plays either the bass note or the upper chord tones, each
// placed at the lowest pitch >= `low`.

struct Chord {
    int root;                // pitch class
    std::vector<int> upper;  // pitch classes above the root
    int bass;                // pitch class
};

Chord parseChord(const std::string& s)
{
    if (s.empty())
        throw std::runtime_error("empty chord");
    std::string main = s, slash;
    size_t sl = s.find('/');
    if (sl != std::string::npos) {
        main = s.substr(0, sl);
        slash = s.substr(sl + 1);
    }
    int root = pitchClass(main[0]);
    size_t i = 1;
    if (i < main.size() && (main[i] == '#' || main[i] == 'b'))
        root += main[i++] == '#' ? 1 : -1;
    std::string q = main.substr(i);
    std::vector<int> iv;
    if (q.empty())
        iv = {4, 7};
    else if (q == "m")
        iv = {3, 7};
    else if (q == "7")
        iv = {4, 7, 10};
    else if (q == "m7")
        iv = {3, 7, 10};
    else if (q == "dim")
        iv = {3, 6};
    else
        throw std::runtime_error("unknown chord '" + s + "'");
    Chord c;
    c.root = (root + 12) % 12;
    for (int v : iv)
        c.upper.push_back((c.root + v) % 12);
    c.bass = c.root;
    if (!slash.empty()) {
        int b = pitchClass(slash[0]);
        if (slash.size() > 1)
            b += slash[1] == '#' ? 1 : -1;
        c.bass = (b + 12) % 12;
    }
    return c;
}

std::string noteName(int midi)
{
    static const char* names[] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    return names[midi % 12] + std::to_string(midi / 12 - 1);
}

int placeAbove(int pc, int low)
{
    int m = low + ((pc - low) % 12 + 12) % 12;
    return m;
}

std::string fmtBeats(double b)
{
    std::ostringstream o;
    o << b;
    return o.str();
}

enum class Part { Bass, Upper };

std::string arrange(const std::string& progression, Part part, int low, const std::string& rhythm, double vel = 1.0)
{
    std::istringstream in(progression);
    std::string tok, out;
    while (in >> tok) {
        if (tok == "|") {
            out += "| ";
            continue;
        }
        size_t colon = tok.find(':');
        if (colon == std::string::npos)
            throw std::runtime_error("chord '" + tok + "' has no length");
        Chord c = parseChord(tok.substr(0, colon));
        double len = parseNumber(tok.substr(colon + 1));
        int beats = static_cast<int>(std::lround(len));
        if (std::fabs(len - beats) > 1e-9 || beats < 1)
            throw std::runtime_error("chord lengths are whole beats: '" + tok + "'");
        std::string pitches;
        if (part == Part::Bass) {
            pitches = noteName(placeAbove(c.bass, low));
        } else {
            std::vector<int> ms;
            for (int pc : c.upper)
                ms.push_back(placeAbove(pc, low));
            std::sort(ms.begin(), ms.end());
            for (int m : ms)
                pitches += (pitches.empty() ? "" : "+") + noteName(m);
        }
        // Group beats into strokes and rests.
        int b = 0;
        while (b < beats) {
            bool stroke = rhythm[b % rhythm.size()] == 'x';
            int e = b + 1;
            while (e < beats && rhythm[e % rhythm.size()] != 'x')
                ++e;
            out += (stroke ? pitches : std::string("r")) + ":" + std::to_string(e - b);
            if (stroke && vel != 1.0)
                out += "@" + fmtBeats(vel);
            out += " ";
            b = e;
        }
    }
    return out;
}

// Same as arrange(), but the last chord is struck on its first beat whatever
// the rhythm says, so that a tune ends on one common stroke.
std::string arrangeToEnd(const std::string& progression, Part part, int low, const std::string& rhythm,
                         double vel = 1.0)
{
    std::istringstream in(progression);
    std::vector<std::string> toks;
    for (std::string t; in >> t;)
        toks.push_back(t);
    size_t last = toks.size();
    while (last > 0 && toks[last - 1] == "|")
        --last;
    if (last == 0)
        throw std::runtime_error("empty progression");
    std::string head, tail;
    for (size_t i = 0; i < toks.size(); ++i)
        (i + 1 < last ? head : tail) += toks[i] + " ";
    return arrange(head, part, low, rhythm, vel) + arrange(tail, part, low, "x", vel);
}

// ---------------------------------------------------------------------------
// The tunes

std::vector<Tune> tunes()
{
    std::vector<Tune> all;

    // 1. Quarter-hour chime. The traditional four-bell Westminster changes, in
    //    the order rung before the hour (changes 2, 3, 4, 5), in 3/4 with a
    //    dotted half on each fourth bell. A single tubular-bell line.
    all.push_back({1,
                   "Westminster quarters (the four hour changes)",
                   24.0,
                   3,
                   -2,
                   5.0,
                   0.28,
                   "18:0.92",
                   {{&chime(), 1.0, 0, 0,
                     "C5:1 E5:1 D5:1 | G4:3 | C5:1 D5:1 E5:1 | C5:3 | "
                     "E5:1@0.95 C5:1 D5:1 | G4:3 | G4:1 D5:1 E5:1 | C5:3 |"}}});

    // 2. School bell. A rising pentatonic call (do re mi sol la) answered twice,
    //    ending high on the tonic; chimes over soft low bells.
    {
        std::string prog = "C:4 | F:2 C:2 | Am:4 | G:4 | F:4 | C:2 G:2 | Am:2 G:2 | C:4 | "
                           "C:4 | G:2 Am:2 | F:2 G:2 | C:4 |";
        std::string melody = "C5:1 D5:1 E5:1 G5:1 | A5:2 G5:2 | E5:1 G5:1 A5:1 C6:1 | D6:3 r:1 | "
                             "C6:1 A5:1 G5:1 A5:1 | E5:2 D5:2 | E5:1 G5:1 A5:1 D6:1 | C6:3 r:1 | "
                             "C5:1 E5:1 G5:1 C6:1 | D6:1 E6:1 C6:1 A5:1 | G5:1 A5:1 D6:1 B5:1 | C6:4 |";
        all.push_back({2,
                       "School bell (rising call)",
                       37.0,
                       4,
                       0,
                       4.5,
                       0.25,
                       "40:0.94",
                       {{&chime(), 1.0, 0, 0, melody},
                        {&chime(), 0.32, 1.3, 0, arrangeToEnd(prog, Part::Bass, 43, "x")},
                        {&softBell(), 0.16, 1.1, 0, arrangeToEnd(prog, Part::Upper, 55, "x")}}});
    }

    // 3. Lullaby. A rocking 3/4 cradle song: melody on a soft bell, a low
    //    bell on each downbeat and a quiet chord on beats two and three.
    {
        std::string prog = "C:3 | C:3 | F:3 | C:3 | C:3 | F:3 | Am:3 | G:3 | "
                           "F:3 | C/E:3 | Dm:3 | Am:3 | C:3 | F:3 | G:3 | C:3 |";
        std::string melody = "E5:2 G5:1 | E5:2 D5:1 | C5:2 D5:1 | E5:3 | "
                             "E5:2 G5:1 | A5:2 G5:1 | E5:1 D5:1 C5:1 | D5:3 | "
                             "F5:2 A5:1 | G5:2 E5:1 | F5:2 D5:1 | E5:2 C5:1 | "
                             "E5:2 G5:1 | A5:1 G5:1 E5:1 | D5:2 E5:1 | C5:3 |";
        all.push_back({3,
                       "Lullaby",
                       41.0,
                       3,
                       -3,
                       5.5,
                       0.30,
                       "39:0.93 42:0.85",
                       {{&softBell(), 1.0, 0, 0.10, melody},
                        {&softBell(), 0.40, 1.0, 0.10, arrangeToEnd(prog, Part::Bass, 43, "x..")},
                        {&softBell(), 0.20, 1.0, 0.10, arrangeToEnd(prog, Part::Upper, 55, ".x.", 0.9)}}});
    }

    // 4. Hall chime. A slow, stately bell tune in three four-bar phrases
    //    (statement, answer on the dominant, cadence) and a closing stroke.
    {
        std::string prog = "C:4 | Am:4 | G:4 | C:4 | F:2 C:2 | Dm:4 | C:2 Am:2 | G:4 | "
                           "C:4 | Em:2 F:2 | C:2 G:2 | G7:4 | C:4 |";
        std::string melody = "G4:2 C5:2 | E5:2 D5:1 C5:1 | D5:2 G5:2 | E5:4 | "
                             "A5:2 G5:1 E5:1 | F5:2 E5:1 D5:1 | E5:2 C5:1 A4:1 | G4:4 | "
                             "C5:2 E5:2 | G5:3 A5:1 | G5:2 E5:1 D5:1 | F5:2 D5:2 | C5:4 |";
        all.push_back({4,
                       "Hall chime",
                       55.0,
                       4,
                       2,
                       6.0,
                       0.34,
                       "44:0.9",
                       {{&chime(), 1.0, 0, 0, melody},
                        {&chime(), 0.38, 1.4, 0, arrangeToEnd(prog, Part::Bass, 41, "x")},
                        {&chime(), 0.13, 1.2, 0, arrangeToEnd(prog, Part::Upper, 55, "x")}}});
    }

    // 5. March. A bright glockenspiel tune in four-bar phrases (A A' B A'')
    //    over an oom-pah of low bells and soft chords.
    {
        std::string prog = "C:4 | Dm:2 G:2 | Dm:4 | G:2 C:2 | C:4 | G:2 C:2 | Dm:2 G:2 | C:4 | "
                           "F:4 | C:4 | Dm:4 | G:4 | C:4 | G:2 Am:2 | C:2 G:2 | C:4 | C:4 |";
        std::string melody = "C5:0.5 E5:0.5 G5:1 G5:0.5 E5:0.5 G5:1 | A5:0.5 G5:0.5 F5:0.5 E5:0.5 D5:2 | "
                             "D5:0.5 F5:0.5 A5:1 A5:0.5 F5:0.5 A5:1 | B5:0.5 A5:0.5 G5:0.5 F5:0.5 E5:2 | "
                             "C5:0.5 E5:0.5 G5:1 G5:0.5 E5:0.5 C6:1 | B5:0.5 A5:0.5 G5:0.5 F5:0.5 E5:1 G5:1 | "
                             "F5:0.5 E5:0.5 D5:0.5 E5:0.5 F5:1 B4:1 | C5:2 r:1 G4:1 | "
                             "A5:1 A5:0.5 B5:0.5 C6:1 A5:1 | G5:1 G5:0.5 A5:0.5 G5:1 E5:1 | "
                             "F5:1 F5:0.5 G5:0.5 A5:1 F5:1 | E5:1 D5:1 G5:2 | "
                             "C5:0.5 E5:0.5 G5:1 G5:0.5 E5:0.5 C6:1 | B5:0.5 A5:0.5 G5:0.5 F5:0.5 E5:1 A5:1 | "
                             "G5:0.5 E5:0.5 D5:0.5 C5:0.5 D5:1 B4:1 | C5:1 G4:1 C5:1 G5:1 | C6:4 |";
        all.push_back({5,
                       "March",
                       40.0,
                       4,
                       7,
                       3.75,
                       0.22,
                       "",
                       {{&glock(), 1.0, 3.0, 0, melody},
                        {&chime(), 0.36, 0.9, 0, arrangeToEnd(prog, Part::Bass, 41, "x.x.")},
                        {&softBell(), 0.22, 0.8, 0, arrangeToEnd(prog, Part::Upper, 55, ".x.x", 0.85)}}});
    }

    // 6. Evening. A gentle pentatonic tune for the end of the day, two
    //    phrases and an echo, on a soft bell with a slow tremolo.
    {
        std::string prog = "C:4 | C:2 F:2 | C:2 Am:2 | G:4 | Am:2 F:2 | F:2 C:2 | Dm:2 G:2 | C:4 | "
                           "F:2 G:2 | C:4 |";
        std::string melody = "E5:1.5 D5:0.5 C5:1 D5:1 | E5:1 G5:1 A5:2 | G5:1.5 E5:0.5 D5:1 C5:1 | D5:3 r:1 | "
                             "E5:1.5 G5:0.5 A5:1 C6:1 | A5:1 G5:1 E5:2 | D5:1.5 E5:0.5 G5:1 D5:1 | C5:3 r:1 | "
                             "A5:1.5@0.8 G5:0.5@0.8 E5:1@0.8 D5:1@0.8 | C5:4@0.9 |";
        all.push_back({6,
                       "Evening",
                       39.0,
                       4,
                       -4,
                       5.75,
                       0.32,
                       "32:0.9",
                       {{&softBell(), 1.0, 0, 0.22, melody},
                        {&softBell(), 0.42, 1.2, 0.22, arrangeToEnd(prog, Part::Bass, 43, "x")},
                        {&softBell(), 0.17, 1.2, 0.22, arrangeToEnd(prog, Part::Upper, 55, "x")}}});
    }

    // 7. Three-part piece. A: a broad chime theme in C; B: a lighter
    //    glockenspiel episode in A minor, slightly quicker, turning back on a
    //    G chord; A': the theme returns with glockenspiel off-beat sparkles and
    //    closes with a ritardando.
    {
        std::string progA = "C:4 | F:2 G:2 | Am:2 C:2 | G:4 | C:4 | F:4 | C:2 G:2 | C:4 | ";
        std::string progB = "Am:4 | F:2 Am:2 | Dm:2 Am:2 | E:4 | Am:4 | Dm:4 | E:4 | Am:2 G:2 | ";
        std::string progC = "C:4 | F:4 | C:2 F:2 | Am:2 C:2 | Dm:2 G:2 | C:4 |";
        std::string themeA = "G4:1 C5:1 E5:1 G5:1 | F5:1.5 E5:0.5 D5:2 | E5:1 A5:1 G5:1 E5:1 | D5:3 r:1 | "
                             "G4:1 C5:1 E5:1 G5:1 | A5:1.5 G5:0.5 F5:1 A5:1 | G5:1 E5:0.5 F5:0.5 D5:1 B4:1 | "
                             "C5:3 r:1 | ";
        std::string restB = "r:4 | r:4 | r:4 | r:4 | r:4 | r:4 | r:4 | r:4 | ";
        std::string themeC = "G4:1 C5:1 E5:1 G5:1 | A5:1.5 G5:0.5 F5:1 A5:1 | G5:1 C6:1 A5:1 F5:1 | "
                             "E5:1.5 D5:0.5 C5:1 E5:1 | F5:1 E5:1 D5:1 B4:1 | C5:4 |";
        std::string glockB = "A5:0.5 B5:0.5 C6:1 B5:0.5 A5:0.5 E5:1 | F5:0.5 G5:0.5 A5:1 G5:0.5 F5:0.5 E5:1 | "
                             "D5:0.5 E5:0.5 F5:1 E5:0.5 D5:0.5 C5:1 | B4:1 C5:0.5 D5:0.5 E5:2 | "
                             "A5:0.5 B5:0.5 C6:1 B5:0.5 A5:0.5 E5:1 | F5:0.5 G5:0.5 A5:1 D6:1 C6:1 | "
                             "B5:0.5 A5:0.5 G#5:0.5 A5:0.5 B5:1 E5:1 | A5:2 G5:2 | ";
        std::string glockC = "r:1 C6:1@0.45 r:1 E6:1@0.45 | r:1 C6:1@0.45 r:1 A5:1@0.45 | "
                             "r:1 E6:1@0.45 r:1 C6:1@0.45 | r:1 C6:1@0.45 r:1 G5:1@0.45 | "
                             "r:1 A5:1@0.45 r:1 G5:1@0.45 | E6:4@0.5 |";
        std::string bass = arrange(progA, Part::Bass, 41, "x") + arrange(progB, Part::Bass, 41, "x.x.")
            + arrangeToEnd(progC, Part::Bass, 41, "x");
        std::string upper = arrange(progA, Part::Upper, 55, "x") + arrange(progB, Part::Upper, 55, ".x.x", 0.8)
            + arrangeToEnd(progC, Part::Upper, 55, "x");
        all.push_back({7,
                       "Three-part piece (theme, episode, return)",
                       74.0,
                       4,
                       2,
                       6.0,
                       0.30,
                       "32:1.08 64:1 80:0.92 82:0.85",
                       {{&chime(), 1.0, 0, 0, themeA + restB + themeC},
                        {&glock(), 0.85, 3.0, 0, restB + glockB + glockC},
                        {&chime(), 0.34, 1.3, 0, bass},
                        {&softBell(), 0.17, 1.1, 0, upper}}});
    }
    return all;
}

// ---------------------------------------------------------------------------
// Tempo: piecewise constant speed factors over beats, scaled so that a given
// beat lands at a given time.

class TempoMap
{
public:
    explicit TempoMap(const std::string& marks)
    {
        std::istringstream in(marks);
        std::string tok;
        segs_.push_back({0.0, 1.0});
        while (in >> tok) {
            size_t colon = tok.find(':');
            if (colon == std::string::npos)
                throw std::runtime_error("bad tempo mark '" + tok + "'");
            double b = parseNumber(tok.substr(0, colon)), s = parseNumber(tok.substr(colon + 1));
            if (s <= 0 || b < segs_.back().first)
                throw std::runtime_error("bad tempo mark '" + tok + "'");
            segs_.push_back({b, s});
        }
    }
    // Time of `beat` in units of "one beat at speed 1".
    double units(double beat) const
    {
        double t = 0;
        for (size_t i = 0; i < segs_.size(); ++i) {
            double from = segs_[i].first;
            double to = i + 1 < segs_.size() ? segs_[i + 1].first : beat;
            if (beat <= from)
                break;
            t += (std::min(to, beat) - from) / segs_[i].second;
        }
        return t;
    }

private:
    std::vector<std::pair<double, double>> segs_;
};

// ---------------------------------------------------------------------------
// Synthesis

// Small deterministic generator, so renders are reproducible.
struct Lcg {
    uint32_t s;
    double next()  // [0, 1)
    {
        s = s * 1664525u + 1013904223u;
        return (s >> 8) * (1.0 / 16777216.0);
    }
};

double metricAccent(double beat, int beatsPerBar)
{
    double pos = std::fmod(beat, beatsPerBar);
    if (pos < 1e-6)
        return 1.0;
    if (std::fabs(pos - std::round(pos)) < 1e-6)
        return 0.9;
    return 0.84;
}

void strike(std::vector<double>& buf, int rate, double onset, double freq, double vel, double gain, double dampAt,
            double tremolo, const Timbre& tb, Lcg& rng)
{
    const size_t first = static_cast<size_t>(std::lround(onset * rate));
    if (first >= buf.size())
        return;
    // Lower notes ring longer, higher ones shorter.
    const double decayScale = std::clamp(std::sqrt(523.25 / freq), 0.55, 1.8);
    const double releaseTau = 0.25;
    for (const Partial& p : tb.partials) {
        const double f = freq * p.ratio;
        if (f >= 0.45 * rate)
            continue;
        double amp = p.amp * vel * gain;
        if (p.ratio > 1.5)
            amp *= std::pow(vel, tb.softDull);
        const double tau = p.tau * decayScale;
        // Ring until the partial has fallen 100 dB below full scale.
        double life = tau * std::log(std::max(amp, 1e-12) / 1e-5);
        if (life <= 0)
            continue;
        if (dampAt > 0)
            life = std::min(life, dampAt + releaseTau * 12);
        const size_t n = std::min(buf.size() - first, static_cast<size_t>(life * rate) + 1);

        const double w = 2 * kPi * f / rate;
        const double cw = std::cos(w), sw = std::sin(w);
        const double phase = 2 * kPi * rng.next();
        double x = std::cos(phase), y = std::sin(phase);
        const double decay = std::exp(-1.0 / (tau * rate));
        const double release = std::exp(-1.0 / (releaseTau * rate));
        const size_t dampSample = dampAt > 0 ? static_cast<size_t>(dampAt * rate) : n;
        const size_t attackSamples = std::max<size_t>(1, static_cast<size_t>(tb.attack * rate));
        const double tremW = 2 * kPi * 4.6 / rate;
        double env = amp;
        for (size_t i = 0; i < n; ++i) {
            double a = env;
            if (i < attackSamples)
                a *= 0.5 - 0.5 * std::cos(kPi * i / attackSamples);
            if (tremolo > 0)
                a *= 1.0 - tremolo * (0.5 - 0.5 * std::cos(tremW * i));
            buf[first + i] += a * y;
            const double nx = x * cw - y * sw;
            y = x * sw + y * cw;
            x = nx;
            env *= i >= dampSample ? decay * release : decay;
            if ((i & 1023) == 1023) {  // keep the rotation on the unit circle
                const double r = 1.0 / std::sqrt(x * x + y * y);
                x *= r;
                y *= r;
            }
        }
    }
}

// Mono room reverb: eight damped feedback combs into four allpasses.
std::vector<double> reverb(const std::vector<double>& in, int rate)
{
    static const int combLen[] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
    static const int apLen[] = {556, 441, 341, 225};
    const double scale = rate / 44100.0;
    const double feedback = 0.83, damp = 0.25;
    struct Comb {
        std::vector<double> b;
        size_t i = 0;
        double store = 0;
    };
    struct Allpass {
        std::vector<double> b;
        size_t i = 0;
    };
    std::vector<Comb> combs;
    for (int l : combLen)
        combs.push_back({std::vector<double>(static_cast<size_t>(l * scale), 0.0)});
    std::vector<Allpass> aps;
    for (int l : apLen)
        aps.push_back({std::vector<double>(static_cast<size_t>(l * scale), 0.0)});

    std::vector<double> out(in.size());
    for (size_t n = 0; n < in.size(); ++n) {
        const double x = in[n] * 0.015;
        double acc = 0;
        for (Comb& c : combs) {
            const double y = c.b[c.i];
            c.store = y * (1 - damp) + c.store * damp;
            c.b[c.i] = x + c.store * feedback;
            c.i = (c.i + 1) % c.b.size();
            acc += y;
        }
        for (Allpass& a : aps) {
            const double b = a.b[a.i];
            a.b[a.i] = acc + b * 0.5;
            a.i = (a.i + 1) % a.b.size();
            acc = b - acc;
        }
        out[n] = acc * 3.0;
    }
    return out;
}

std::vector<double> render(const Tune& tune, int rate)
{
    // Parse all voices, check they agree on length, find the last stroke.
    std::vector<std::vector<Note>> parts;
    double length = -1, lastOnset = 0;
    for (size_t v = 0; v < tune.voices.size(); ++v) {
        double len = 0;
        try {
            parts.push_back(parseScore(tune.voices[v].score, tune.beatsPerBar, len));
        } catch (const std::exception& e) {
            throw std::runtime_error("tune " + std::to_string(tune.number) + ", voice " + std::to_string(v + 1) + ": "
                                     + e.what());
        }
        if (length >= 0 && std::fabs(len - length) > 1e-9)
            throw std::runtime_error("tune " + std::to_string(tune.number) + ": voice " + std::to_string(v + 1)
                                     + " lasts " + std::to_string(len) + " beats, voice 1 " + std::to_string(length));
        length = len;
        for (const Note& n : parts.back())
            lastOnset = std::max(lastOnset, n.beat);
    }

    const TempoMap tempo(tune.tempo);
    const double musicSeconds = tune.seconds - kLead - tune.tail;
    if (musicSeconds <= 0 || tune.tail < 2.5)
        throw std::runtime_error("tune " + std::to_string(tune.number) + ": bad tail");
    const double secPerUnit = musicSeconds / tempo.units(lastOnset);
    std::fprintf(stderr, "tune %d: %g beats, %.1f bpm, last stroke at %.2f s\n", tune.number, length, 60.0 / secPerUnit,
                 kLead + tempo.units(lastOnset) * secPerUnit);

    const size_t total = static_cast<size_t>(std::llround(tune.seconds * rate));
    std::vector<double> dry(total, 0.0);
    Lcg rng{static_cast<uint32_t>(0x5eed0000u + tune.number)};
    for (size_t v = 0; v < parts.size(); ++v) {
        const Voice& voice = tune.voices[v];
        for (const Note& n : parts[v]) {
            const double jitter = (rng.next() - 0.5) * 0.006;  // strokes are never machine-exact
            const double onset = kLead + tempo.units(n.beat) * secPerUnit + (v ? jitter : 0.0);
            const double freq = 440.0 * std::pow(2.0, (n.midi + tune.transpose - 69) / 12.0);
            const double vel = n.vel * metricAccent(n.beat, tune.beatsPerBar) * (0.97 + 0.06 * rng.next());
            double dampAt = 0;
            if (voice.damp > 0)
                dampAt = (tempo.units(n.beat + n.beats) - tempo.units(n.beat)) * secPerUnit * voice.damp;
            strike(dry, rate, onset, freq, vel, voice.gain, dampAt, voice.tremolo, *voice.timbre, rng);
        }
    }

    const std::vector<double> wet = reverb(dry, rate);
    std::vector<double> out(total);
    for (size_t i = 0; i < total; ++i)
        out[i] = dry[i] + tune.reverb * wet[i];

    const size_t fade = std::min(total, static_cast<size_t>(kFadeSeconds * rate));
    for (size_t i = 0; i < fade; ++i)
        out[total - 1 - i] *= 0.5 - 0.5 * std::cos(kPi * i / fade);

    double peak = 0;
    for (double s : out)
        peak = std::max(peak, std::fabs(s));
    if (peak <= 0)
        throw std::runtime_error("tune " + std::to_string(tune.number) + " is silent");
    for (double& s : out)
        s *= kPeak / peak;
    return out;
}

void put16(std::ofstream& f, uint16_t v)
{
    const char b[2] = {static_cast<char>(v & 0xff), static_cast<char>(v >> 8)};
    f.write(b, 2);
}

void put32(std::ofstream& f, uint32_t v)
{
    put16(f, static_cast<uint16_t>(v & 0xffff));
    put16(f, static_cast<uint16_t>(v >> 16));
}

void writeWav(const std::string& path, const std::vector<double>& samples, int rate)
{
    std::ofstream f(path, std::ios::binary);
    if (!f)
        throw std::runtime_error("cannot write " + path);
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    f.write("RIFF", 4);
    put32(f, 36 + dataBytes);
    f.write("WAVEfmt ", 8);
    put32(f, 16);
    put16(f, 1);  // PCM
    put16(f, 1);  // mono
    put32(f, static_cast<uint32_t>(rate));
    put32(f, static_cast<uint32_t>(rate * 2));
    put16(f, 2);
    put16(f, 16);
    f.write("data", 4);
    put32(f, dataBytes);
    for (double s : samples) {
        const long v = std::lround(std::clamp(s, -1.0, 1.0) * 32767.0);
        put16(f, static_cast<uint16_t>(static_cast<int16_t>(v)));
    }
    if (!f)
        throw std::runtime_error("error writing " + path);
}

int usage()
{
    std::fprintf(stderr, "usage: chimegen [-r RATE] TUNE OUT.wav\n       chimegen --list\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    try {
        std::vector<std::string> args(argv + 1, argv + argc);
        if (args.size() == 1 && args[0] == "--list") {
            for (const Tune& t : tunes())
                std::printf("%d %g %s\n", t.number, t.seconds, t.title);
            return 0;
        }
        int rate = 44100;
        if (args.size() >= 2 && args[0] == "-r") {
            rate = std::atoi(args[1].c_str());
            args.erase(args.begin(), args.begin() + 2);
            if (rate != 44100 && rate != 22050 && rate != 48000)
                return usage();
        }
        if (args.size() != 2)
            return usage();
        const int number = std::atoi(args[0].c_str());
        for (const Tune& t : tunes()) {
            if (t.number == number) {
                writeWav(args[1], render(t, rate), rate);
                return 0;
            }
        }
        std::fprintf(stderr, "chimegen: no tune %s\n", args[0].c_str());
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "chimegen: %s\n", e.what());
        return 1;
    }
}
