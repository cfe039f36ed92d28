// The table of bad inputs: every kind of malformed file a user may hand Varnex, run through
// varnex-cli, and exactly what it answers. The README shows the same rows; run with
// VARNEX_BAD_INPUT_TABLE=FILE to write them as its table.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>

#include "stress_support.h"
#include "test_support.h"

namespace varnex {

namespace fs = std::filesystem;

namespace {
struct BAD_INPUT {
    std::string kind;                    // what is wrong, as the table says it
    std::string file;                    // the bad file, made in the test folder
    std::function<std::string()> bytes;  // its bytes; none: a folder of that name
    std::vector<std::string> args;       // varnex-cli's arguments
    int exitStatus;        // 0: "écrit : out.smd" on standard output; 1: nothing there
    std::string err;       // standard error less "varnex-cli: " and the line end; empty: none
    std::string sameAs{};  // the output equals this expected file
    std::string note{};    // what the table adds about the answer
};

std::string Sample(const std::string& name) { return ReadFile(SamplePath(name)); }
std::string Walk() { return Sample("runner_walk.smd"); }
std::string Model() { return Sample("knight_ref.smd"); }
std::string Ref() { return Sample("runner_ref.smd"); }

// text with its first `count` occurrences of `from` replaced (all when count is 0).
std::string Replace(std::string text, const std::string& from, const std::string& to,
                    int count = 1) {
    std::size_t at = 0;
    for (int done = 0; count == 0 || done < count; ++done) {
        at = text.find(from, at);
        if (at == std::string::npos) break;
        text.replace(at, from.size(), to);
        at += to.size();
    }
    return text;
}

std::string LineEndsTo(const std::string& text, const std::string& end) {
    return Replace(text, "\r\n", end, 0);
}

// Bytes that look like nothing: a fixed pseudo-random sequence, so the answer is always the same.
std::string Garbage(std::size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    for (char& c : bytes) {
        seed = seed * 1103515245u + 12345u;
        c = static_cast<char>(seed >> 16);
    }
    return bytes;
}

// 60 records: node byte r on row r, correction 1, with one record changed.
std::string ConFile(int row, double correction, std::size_t size = 540) {
    std::string bytes;
    for (int r = 0; r < 60; ++r) {
        bytes += static_cast<char>(r);
        double value = r == row ? correction : 1.0;
        unsigned char raw[8];
        std::memcpy(raw, &value, 8);  // the test machine is little-endian, as the format is
        bytes.append(reinterpret_cast<const char*>(raw), 8);
    }
    bytes.resize(size, 'x');
    return bytes;
}

// A skeleton of n nodes in one chain, named "Bone0"... (no biped name), `frames` frames.
std::string Chain(int n, int frames) {
    std::string text = "version 1\r\nnodes\r\n";
    for (int i = 0; i < n; ++i) text += NodeLine(i, "Bone" + std::to_string(i), i - 1);
    text += "end\r\nskeleton\r\n";
    for (int f = 0; f < frames; ++f) {
        text += "time " + std::to_string(f) + "\r\n";
        for (int i = 0; i < n; ++i) text += FrameLine(i, 1, 0, 0, 0, 0, 0);
    }
    return text + "end\r\n";
}

const char* const OVER_128 =
    "big.smd: le modèle a 200 nodes : le compilateur de modèles (studiomdl) n'en accepte que 128 "
    "et refusera les animations écrites";

const std::vector<std::string> M = {"--model", "knight_ref.smd"};
const std::vector<std::string> R = {"--ref-anim", "runner_ref.smd"};

std::vector<std::string> Args(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}
std::vector<std::string> BuildModel(const std::string& model) {
    return Args({{"build", "--model", model}, R, {"-o", "out.smd", "runner_walk.smd"}});
}
std::vector<std::string> BuildRef(const std::string& ref) {
    return Args({{"build"}, M, {"--ref-anim", ref, "-o", "out.smd", "runner_walk.smd"}});
}
std::vector<std::string> BuildAnim(const std::string& anim) {
    return Args({{"build"}, M, R, {"-o", "out.smd", anim}});
}
std::vector<std::string> BuildCon(const std::string& con) {
    return Args({{"build"}, M, R, {"--con", con, "-o", "out.smd", "runner_walk.smd"}});
}

std::string Nothing() { return {}; }
const std::string NO_NODES = ": ligne « nodes » introuvable : ce fichier n'est pas un SMD";
const std::string NO_SKELETON = ": ligne « skeleton » introuvable avant les frames";
const std::string IS_FOLDER = ": impossible de lire ce fichier : c'est un dossier";
const std::string NO_END =
    ": le fichier se termine sans la ligne « end » qui ferme les frames : est-il tronqué ?";
const char* const NOT_FINITE_POSITION =
    " donne pour le node 0 une valeur qui n'est pas un nombre fini";

std::vector<BAD_INPUT> Table() {
    const std::string expected = ExpectedPath("knight_runner_walk.smd");
    const std::string walk = Walk();
    return {
        // Empty files.
        {"empty file as the model", "empty.smd", Nothing, BuildModel("empty.smd"), 1,
         "empty.smd" + NO_NODES},
        {"empty file as the reference animation", "empty.smd", Nothing, BuildRef("empty.smd"), 1,
         "empty.smd" + NO_NODES},
        {"empty file as the animation", "empty.smd", Nothing, BuildAnim("empty.smd"), 1,
         "empty.smd" + NO_SKELETON},
        {"empty conversion file", "empty.con", Nothing, BuildCon("empty.con"), 1,
         "empty.con: fichier de conversion trop court : 0 octets au lieu de 540"},
        {"file of nothing but 1,000 empty lines as the model", "blank.smd",
         [] { return Replace(std::string(1000, '\n'), "\n", "\r\n", 0); }, BuildModel("blank.smd"),
         1, "blank.smd" + NO_NODES},

        // Folders chosen as files.
        {"folder chosen as the model", "folder.smd", nullptr, BuildModel("folder.smd"), 1,
         "folder.smd" + IS_FOLDER},
        {"folder chosen as the reference animation", "folder.smd", nullptr, BuildRef("folder.smd"),
         1, "folder.smd" + IS_FOLDER},
        {"folder chosen as the animation", "folder.smd", nullptr, BuildAnim("folder.smd"), 1,
         "folder.smd" + IS_FOLDER},
        {"folder chosen as the conversion file", "folder.con", nullptr, BuildCon("folder.con"), 1,
         "folder.con" + IS_FOLDER},
        {"folder chosen as the output", "folder.smd", nullptr,
         Args({{"build"}, M, R, {"-o", "folder.smd", "runner_walk.smd"}}), 1,
         "folder.smd: impossible d'écrire ce fichier : c'est un dossier"},
        {"missing file as the animation", "other.smd", [] { return std::string("x"); },
         BuildAnim("missing.smd"), 1,
         "missing.smd: impossible d'ouvrir le fichier : fichier ou dossier introuvable"},

        // Truncated files.
        {"model cut inside its node list (300 bytes)", "cut.smd",
         [] { return Model().substr(0, 300); }, BuildModel("cut.smd"), 1,
         "cut.smd: la liste des nodes n'est pas fermée par une ligne « end »"},
        {"model cut before its first frame", "cut.smd",
         [] { return Model().substr(0, Model().find("time 0")); }, BuildModel("cut.smd"), 1,
         "cut.smd:27: aucune frame « time 0 » après la ligne « skeleton »"},
        {"model cut inside its first frame", "cut.smd",
         [] { return Model().substr(0, Model().find(" 13 0.")); }, BuildModel("cut.smd"), 1,
         "cut.smd:28: node 13 : la frame « time 0 » n'a que 13 lignes de squelette, "
         "il n'y a pas de ligne 13"},
        {"reference animation cut inside a line of its first frame (1,000 bytes)", "cut.smd",
         [] { return Ref().substr(0, 1000); }, BuildRef("cut.smd"), 1,
         "cut.smd:35: ligne de squelette incomplète : 3 champs au lieu de 7"},
        {"animation cut inside a line (20,000 bytes)", "cut.smd",
         [walk] { return walk.substr(0, 20000); }, BuildAnim("cut.smd"), 1,
         "cut.smd:358: ligne de squelette incomplète : 3 champs au lieu de 7"},
        {"animation cut just after a \"time\" line", "cut.smd",
         [walk] { return walk.substr(0, walk.find("time 1\r\n") + 8); }, BuildAnim("cut.smd"), 1,
         "cut.smd:50: frame « time 1 » : la ligne 0 de la grille (NODES 0) désigne la "
         "ligne de squelette 0, mais cette frame n'en a que 0"},
        {"animation cut inside the last field of a frame's last line", "cut.smd",
         [walk] { return walk.substr(0, 35773); }, BuildAnim("cut.smd"), 1, "cut.smd:624" + NO_END},
        {"animation without its closing \"end\"", "cut.smd",
         [walk] { return walk.substr(0, walk.size() - 5); }, BuildAnim("cut.smd"), 1,
         "cut.smd:716" + NO_END},
        {"animation cut just after \"skeleton\" (no frame)", "cut.smd",
         [walk] { return walk.substr(0, walk.find("time 0")); }, BuildAnim("cut.smd"), 1,
         "cut.smd:26" + NO_END},
        {"conversion file of 539 bytes", "cut.con", [] { return ConFile(0, 1.0, 539); },
         BuildCon("cut.con"), 1,
         "cut.con: fichier de conversion trop court : 539 octets au lieu de 540"},

        // Binary garbage.
        {"4 kB of random bytes as the model", "garbage.smd", [] { return Garbage(4096, 7); },
         BuildModel("garbage.smd"), 1, "garbage.smd" + NO_NODES},
        {"4 kB of random bytes as the animation", "garbage.smd", [] { return Garbage(4096, 7); },
         BuildAnim("garbage.smd"), 1, "garbage.smd" + NO_SKELETON},
        {"540 random bytes as the conversion file", "garbage.con", [] { return Garbage(540, 7); },
         BuildCon("garbage.con"), 1,
         "runner_walk.smd:27: frame « time 0 » : la ligne 1 de la grille (NODES 161) "
         "désigne la ligne de squelette 61, mais cette frame n'en a que 22",
         "", "loaded (every correction finite); the build names the grid row it cannot follow"},
        {"100 NUL bytes before \"version 1\" in the animation", "nul.smd",
         [walk] { return std::string(100, '\0') + walk; }, BuildAnim("nul.smd"), 0, "", expected,
         "built as if they were not there"},
        {"NUL and 0xFF bytes in a rotation field of the animation", "binary.smd",
         [walk] { return Replace(walk, " 0.000000\r\n", std::string(" 0.0\0\xff", 6) + "\r\n"); },
         BuildAnim("binary.smd"), 1,
         "binary.smd:28: valeur « 0.0\\x00\\xFF » : ce n'est pas un nombre fini"},

        // Missing keywords.
        {"model without \"nodes\"", "bad.smd", [] { return Replace(Model(), "nodes", "n0des"); },
         BuildModel("bad.smd"), 1, "bad.smd" + NO_NODES},
        {"model without the \"end\" of its node list", "bad.smd",
         [] { return Replace(Model(), "end\r\nskeleton", "skeleton"); }, BuildModel("bad.smd"), 1,
         "bad.smd: la liste des nodes n'est pas fermée par une ligne « end »"},
        {"model without \"skeleton\"", "bad.smd",
         [] { return Replace(Model(), "skeleton", "skelet0n"); }, BuildModel("bad.smd"), 1,
         "bad.smd" + NO_SKELETON},
        {"model without \"time\"", "bad.smd", [] { return Replace(Model(), "time 0", "tim 0"); },
         BuildModel("bad.smd"), 1,
         "bad.smd:27: aucune frame « time 0 » après la ligne « skeleton »"},
        {"model with no node (\"nodes\" then \"end\")", "bad.smd",
         [] { return std::string("version 1\r\nnodes\r\nend\r\nskeleton\r\ntime 0\r\nend\r\n"); },
         BuildModel("bad.smd"), 1, "bad.smd: la liste des nodes est vide"},
        {"animation without \"skeleton\"", "bad.smd",
         [walk] { return Replace(walk, "skeleton", "skelet0n"); }, BuildAnim("bad.smd"), 1,
         "bad.smd" + NO_SKELETON},
        {"animation \"time\" line without a number", "bad.smd",
         [walk] { return Replace(walk, "time 3\r\n", "time\r\n"); }, BuildAnim("bad.smd"), 1,
         "bad.smd:96: ligne « time » sans numéro de frame"},
        {"animation frame line of 6 fields", "bad.smd",
         [walk] { return Replace(walk, " 0.000000\r\n", "\r\n"); }, BuildAnim("bad.smd"), 1,
         "bad.smd:28: ligne de squelette incomplète : 6 champs au lieu de 7"},
        {"reference animation without pelvis, for Convert CS Bipede", "bad.smd",
         [] { return Replace(Ref(), "Bip01 Pelvis", "Bip01 Hips"); },
         Args({{"convert"}, M, {"--ref-anim", "bad.smd", "runner_walk.smd"}}), 1,
         "bad.smd: la liste des nodes n'a pas de bassin (« Pelvis ») : la conversion "
         "en a besoin"},
        {"reference animation of another skeleton, for Convert CS Bipede", "other.smd",
         [] { return Model(); },
         Args({{"convert"}, M, {"--ref-anim", "other.smd", "runner_walk.smd"}}), 1,
         "runner_walk.smd: son node 2 (« Bip01 L Leg ») n'est pas la colonne de "
         "l'animation de référence : choisissez une animation du même squelette"},

        // Line ends and blanks.
        {"animation with LF line ends", "lf.smd", [walk] { return LineEndsTo(walk, "\n"); },
         BuildAnim("lf.smd"), 0, "", expected, "same output as from CR LF"},
        {"animation with CR-only line ends", "cr.smd", [walk] { return LineEndsTo(walk, "\r"); },
         BuildAnim("cr.smd"), 0, "", expected, "same output as from CR LF"},
        {"animation mixing CR LF, LF and CR", "mixed.smd",
         [walk] { return Replace(Replace(walk, "\r\n", "\n", 200), "\r\n", "\r", 200); },
         BuildAnim("mixed.smd"), 0, "", expected, "same output as from CR LF"},
        {"model with LF line ends", "lf.smd", [] { return LineEndsTo(Model(), "\n"); },
         BuildModel("lf.smd"), 0, "", expected, "same output as from CR LF"},
        {"model and reference with CR-only line ends", "cr.smd",
         [] { return LineEndsTo(Model(), "\r"); },
         Args({{"build", "--model", "cr.smd", "--ref-anim", "cr_ref.smd", "-o", "out.smd",
                "runner_walk.smd"}}),
         0, "", expected, "same output as from CR LF"},
        {"animation with tabs for spaces", "tabs.smd",
         [walk] {
             // Names keep their spaces: a name with a tab is another name.
             std::string tabs = walk;
             bool quoted = false;
             for (char& c : tabs) {
                 if (c == '"') quoted = !quoted;
                 if (c == ' ' && !quoted) c = '\t';
             }
             return tabs;
         },
         BuildAnim("tabs.smd"), 0, "", expected, "same output as from spaces"},
        {"model with tabs and runs of blanks in its first frame", "tabs.smd",
         [] { return Replace(Model(), " 0.", " \t  0.", 0); }, BuildModel("tabs.smd"), 0, "",
         expected, "same output as from single spaces"},

        // Huge numbers, NaN and infinities.
        {"position of 1e308 in the animation", "huge.smd",
         [walk] { return Replace(walk, " 0.000000 ", " 1e308 "); }, BuildAnim("huge.smd"), 0, "",
         "", "written in full: a number of 308 digits before the point"},
        {"position of 1e999 in the animation", "huge.smd",
         [walk] { return Replace(walk, " 0.000000 ", " 1e999 "); }, BuildAnim("huge.smd"), 1,
         std::string("huge.smd:28: la position « 1e999 0.000000 44.090000 »") +
             NOT_FINITE_POSITION},
        {"position of 10,000 digits in the animation", "huge.smd",
         [walk] { return Replace(walk, " 0.000000 ", " " + std::string(10000, '7') + " "); },
         BuildAnim("huge.smd"), 1,
         "huge.smd:28: la position « " + std::string(10000, '7') + " 0.000000 44.090000 »" +
             NOT_FINITE_POSITION},
        {"position of 1e300 in the model's first frame", "huge.smd",
         [] { return Replace(Model(), " 0.000000 ", " 1e300 "); }, BuildModel("huge.smd"), 1,
         "huge.smd:29: position hors limites (« 1e300 0.000000 36.800000 ») : sa "
         "longueur n'est pas un nombre fini"},
        {"\"nan\" position in the animation", "nan.smd",
         [walk] { return Replace(walk, " 0.000000 ", " nan "); }, BuildAnim("nan.smd"), 1,
         std::string("nan.smd:28: la position « nan 0.000000 44.090000 »") + NOT_FINITE_POSITION},
        {"\"-inf\" position in the animation", "inf.smd",
         [walk] { return Replace(walk, " 0.000000 ", " -inf "); }, BuildAnim("inf.smd"), 1,
         std::string("inf.smd:28: la position « -inf 0.000000 44.090000 »") + NOT_FINITE_POSITION},
        {"\"nan\" position in the reference animation's first frame", "nan.smd",
         [] { return Replace(Ref(), " 0.000000 ", " nan "); }, BuildRef("nan.smd"), 1,
         "nan.smd:28: position hors limites (« nan 0.000000 44.090000 ») : sa "
         "longueur n'est pas un nombre fini"},
        {"\"inf\" position in the model's first frame", "inf.smd",
         [] { return Replace(Model(), " 0.000000 ", " inf "); }, BuildModel("inf.smd"), 1,
         "inf.smd:29: position hors limites (« inf 0.000000 36.800000 ») : sa "
         "longueur n'est pas un nombre fini"},
        {"\"nan\" rotation in the animation", "nan.smd",
         [walk] { return Replace(walk, " 0.000000\r\n", " nan\r\n"); }, BuildAnim("nan.smd"), 1,
         "nan.smd:28: valeur « nan » : ce n'est pas un nombre fini"},
        {"NaN correction in the conversion file", "nan.con",
         [] { return ConFile(59, std::nan("")); }, BuildCon("nan.con"), 1,
         "nan.con: ligne 59 : la correction enregistrée n'est pas un nombre fini"},
        {"infinite correction in the conversion file", "inf.con",
         [] { return ConFile(3, HUGE_VAL); }, BuildCon("inf.con"), 1,
         "inf.con: ligne 3 : la correction enregistrée n'est pas un nombre fini"},
        {"correction typed as 1e999", "unused.smd", Nothing,
         Args({{"build"}, M, R, {"--set", "3=:1e999", "-o", "out.smd", "runner_walk.smd"}}), 1,
         "ligne 3 de la grille : la Correction « 1e999 » n'est pas un nombre fini", "",
         "no file to name: the grid row is named"},

        // Frames keyed by node number, and animations on a node list of their own.
        {"frame lines in another order (every frame's lines reversed)", "reversed.smd",
         [walk] { return Renumbered(walk, [](int n) { return n; }, true); },
         BuildAnim("reversed.smd"), 0, "", expected, "same output as in order"},
        {"model whose first frame lists its nodes in reverse order", "reversed.smd",
         [] { return Renumbered(Model(), [](int n) { return n; }, true); },
         BuildModel("reversed.smd"), 0, "", expected, "same output as in order"},
        {"frame line whose node number is not a number", "bad.smd",
         [walk] { return Replace(walk, "\r\n  0 0.000000", "\r\nabc 0.000000"); },
         BuildAnim("bad.smd"), 1,
         "bad.smd:28: numéro de node « abc » : ce n'est pas un nombre entier"},
        {"\"abc\" in a position field of a frame line", "bad.smd",
         [walk] { return Replace(walk, "\r\n  2 -0.300000", "\r\n  2 abc"); },
         BuildAnim("bad.smd"), 1, "bad.smd:30: valeur « abc » : ce n'est pas un nombre fini"},
        {"a node twice in one frame", "bad.smd",
         [walk] { return Replace(walk, "\r\n  1 0.000000", "\r\n  0 0.000000"); },
         BuildAnim("bad.smd"), 1,
         "bad.smd:29: frame « time 0 » : le node 0 a déjà une ligne plus haut dans cette frame"},
        {"a frame line for a node that is not in the node list", "bad.smd",
         [walk] {
             return Replace(walk, "\r\ntime 1\r\n",
                            "\r\n 22 0.000000 0.000000 0.000000 0.000000 0.000000 0.000000"
                            "\r\ntime 1\r\n");
         },
         BuildAnim("bad.smd"), 1,
         "bad.smd:50: frame « time 0 » : le node 22 n'est pas dans la liste des nodes du "
         "fichier (22 nodes)"},
        {"a frame without the line of a node the grid reads", "bad.smd",
         [walk] {
             std::size_t line = walk.find("\r\n  5 ", walk.find("time 3\r\n"));
             return std::string(walk).erase(line, walk.find("\r\n", line + 2) - line);
         },
         BuildAnim("bad.smd"), 1,
         "bad.smd:96: frame « time 3 » : pas de ligne pour le node 5 (« Bip01 L Leg1 »), que lit "
         "la ligne 4 de la grille"},
        {"animation with the reference's nodes in another order (list and lines renumbered)",
         "reordered.smd", [walk] { return Renumbered(walk, [](int n) { return 21 - n; }, false); },
         BuildAnim("reordered.smd"), 0, "", expected, "read by name: the same output"},
        {"animation with a node the reference animation lacks", "extra.smd",
         [walk] {
             return Renumbered(walk, [](int n) { return n; }, false, NodeLine(22, "Sword", 20),
                               " 22 1.000000 0.000000 0.000000 0.000000 0.000000 0.000000\r\n");
         },
         BuildAnim("extra.smd"), 0,
         "extra.smd: 1 node que l'animation de référence n'a pas n'est pas lu : « Sword »",
         expected},
        {"animation lacking a node the grid reads", "bad.smd",
         [walk] { return Replace(walk, "\"Bip01 L Foot\"", "\"Bip01 L Foot2\""); },
         BuildAnim("bad.smd"), 1,
         "bad.smd: il manque à ses nodes « Bip01 L Foot », que la grille lit dans l'animation "
         "de référence : choisissez une animation de ce squelette"},
        {"check of an animation lacking a node the grid reads", "bad.smd",
         [walk] { return Replace(walk, "\"Bip01 L Foot\"", "\"Bip01 L Foot2\""); },
         Args({{"check"}, M, R, {"bad.smd"}}), 1,
         "bad.smd: il manque à ses nodes « Bip01 L Foot », que la grille lit dans l'animation "
         "de référence : choisissez une animation de ce squelette"},

        // Long lines.
        {"line of 10,000 characters inside a frame of the animation", "long.smd",
         [walk] {
             return Replace(walk, "\r\ntime 2\r\n",
                            "\r\n" + std::string(10000, 'x') + "\r\ntime 2\r\n");
         },
         BuildAnim("long.smd"), 1,
         "long.smd:73: numéro de node « " + std::string(10000, 'x') +
             " » : ce n'est pas un nombre entier"},
        {"frame line of 10,000 characters (an eighth field)", "long.smd",
         [walk] {
             return Replace(walk, " 0.000000\r\n", " 0.000000 " + std::string(9990, '7') + "\r\n");
         },
         BuildAnim("long.smd"), 0, "", expected, "fields behind the seventh are not read"},
        {"node name of 10,000 characters in the model", "long.smd",
         [] { return Replace(Model(), "\"Sword\"", "\"" + std::string(10000, 'S') + "\""); },
         BuildModel("long.smd"), 0, "", "", "the name is copied into the output's header"},
        {"animation of 20 MB without a line end", "flat.smd",
         [] { return std::string(20u << 20, 'x'); }, BuildAnim("flat.smd"), 1,
         "flat.smd:1: ligne de plus de 4 Mo : ce fichier n'est pas un SMD texte"},

        // Many nodes.
        {"model of 200 nodes", "big.smd", [] { return Chain(200, 1); }, BuildModel("big.smd"), 0,
         OVER_128, "",
         "built with a line for each of the 200 nodes in every frame (the grid has 200 rows; the "
         "note that nodes past 60 get no line is gone)"},
        {"reference animation of 200 nodes", "big.smd", [] { return Chain(200, 1); },
         BuildRef("big.smd"), 1,
         "runner_walk.smd: il manque à ses nodes « Bone0 », que la grille lit dans l'animation de "
         "référence : choisissez une animation de ce squelette",
         "", "no biped name pairs, so row 0 reads the reference's node 0, which the walk lacks"},
        {"model, reference and animation of 200 nodes", "big.smd", [] { return Chain(200, 1); },
         Args({{"build", "--model", "big.smd", "--ref-anim", "big.smd", "-o", "out.smd",
                "big_walk.smd"}}),
         0, OVER_128, "", "built with a line for each of the 200 nodes in every frame"},
    };
}

// Extra files some rows need beside the bad one.
void MakeCompanions(const CTempDir& dir) {
    WriteFile(dir.Path("cr_ref.smd"), LineEndsTo(Ref(), "\r"));
    WriteFile(dir.Path("big_walk.smd"), Chain(200, 3));
}

// A run of more than 20 equal characters, shortened for the table: "7777… (10000 × 7)".
std::string ShortenRuns(const std::string& text) {
    std::string shortened;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t end = i;
        while (end < text.size() && text[end] == text[i]) ++end;
        std::size_t run = end - i;
        if (run > 20) {
            shortened +=
                std::string(4, text[i]) + "… (" + std::to_string(run) + " × " + text[i] + ")";
        } else {
            shortened.append(text, i, run);
        }
        i = end;
    }
    return shortened;
}

std::string TableCell(std::string text) {
    text = ShortenRuns(Replace(text, "varnex-cli: ", "", 0));
    text = Replace(text, "|", "\\|", 0);
    while (!text.empty() && text.back() == '\n') text.pop_back();
    return Replace(text, "\n", "<br>", 0);
}

std::string CommandOf(const BAD_INPUT& row) {
    std::string command = "varnex-cli";
    for (const std::string& arg : row.args) command += " " + arg;
    return command;
}
}  // namespace

TEST(BadInputTable, EveryKindOfBadInputGetsTheAnswerTheTableGives) {
    std::string table =
        "| Kind of bad input | What Varnex answers (exit status: message) |\n|---|---|\n";
    for (const BAD_INPUT& row : Table()) {
        SCOPED_TRACE(row.kind);
        CTempDir dir;
        CopySamples(dir.Root());
        MakeCompanions(dir);
        if (row.bytes) {
            WriteFile(dir.Path(row.file), row.bytes());
        } else {
            fs::create_directory(dir.Path(row.file));
        }
        std::vector<std::string> before = ListFolder(dir.Root());
        PROCESS_SETUP setup;
        setup.workDir = dir.Root().string();
        PROCESS_RESULT run = RunVarnexCli(row.args, setup);

        EXPECT_EQ(run.signal, 0);
        EXPECT_EQ(run.exitStatus, row.exitStatus);
        EXPECT_EQ(run.out, row.exitStatus == 0 ? "écrit : out.smd\n" : "");
        EXPECT_EQ(run.err, row.err.empty() ? "" : "varnex-cli: " + row.err + "\n");
        EXPECT_EQ(TemporaryFilesIn(dir.Root().string()), std::vector<std::string>{});
        for (const std::string& name : THREE_SAMPLES) {
            EXPECT_EQ(ReadFile(dir.Path(name)), Sample(name)) << name << " changed";
        }
        if (row.exitStatus != 0) {
            EXPECT_EQ(ListFolder(dir.Root()), before) << "a refused command wrote a file";
        }
        if (!row.sameAs.empty()) {
            EXPECT_TRUE(ReadFile(dir.Path("out.smd")) == ReadFile(row.sameAs))
                << "the output differs from " << row.sameAs;
        }

        std::string answer = std::to_string(run.exitStatus);
        std::string message = TableCell(run.err.empty() ? run.out : run.err + run.out);
        answer += message.empty() ? "" : ": " + message;
        if (!row.note.empty()) answer += "<br>" + row.note;
        table += "| " + row.kind + "<br>`" + TableCell(CommandOf(row)) + "` | " + answer + " |\n";
    }
    if (const char* path = std::getenv("VARNEX_BAD_INPUT_TABLE")) {
        std::ofstream(path, std::ios::binary) << table;
    }
}

}  // namespace varnex
