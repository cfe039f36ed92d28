#include "cli/cli_commands.h"

#include <algorithm>
#include <filesystem>
#include <iomanip>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/error_text.h"
#include "app/grid_texts.h"
#include "biped/biped_conversion.h"
#include "cli/cli_texts.h"
#include "conversion_file/con_file.h"
#include "motion/motion_check.h"
#include "motion/motion_setup.h"
#include "motion/motion_texts.h"
#include "motion/report_json.h"
#include "pairing/bone_scale.h"
#include "pairing/skeleton_pairing.h"
#include "platform/file_access.h"
#include "preview/svg_preview.h"
#include "retarget/build_smd.h"
#include "smd_input/decimal_text.h"
#include "platform/native_path.h"
#include "smd_input/number_text.h"

namespace varnex {

namespace {
constexpr int EXIT_REFUSED = 1;
constexpr int EXIT_USAGE = 2;
// Without --to, a preview shows at most this many frames: a longer loop is more than a browser
// plays smoothly.
constexpr int PREVIEW_DEFAULT_FRAMES = 600;

// TRANSLATORS: the text of varnex-cli --help; keep the options' names and the columns.
const char* const HELP_TEXT = MarkText(R"(varnex-cli : transfère une animation Half-Life (SMD) d'un squelette biped à un autre.

Usage :
  varnex-cli build --model M.smd --ref-anim R.smd [options] ANIM.smd [ANIM2.smd ...]
  varnex-cli grid  --model M.smd --ref-anim R.smd [--con F.con] [--set ...] [--save-con F.con]
  varnex-cli convert --model M.smd --ref-anim R.smd ANIM.smd [ANIM2.smd ...]

Commandes :
  build    SMD Ref Modele, SMD Ref Animation, puis pour chaque animation SMD Animation et
           BUILD SMD : écrit l'animation transférée sur le squelette du modèle.
  grid     affiche les lignes de la grille après l'appariement (60, ou une par node du modèle
           s'il en a plus) : ligne, NODES, Correction, échelle de l'os, node du modèle et node
           de l'animation de référence.
  convert  Convert CS Bipede seul : écrit à côté de chaque animation une copie (nom + "New")
           dont les cuisses sont rattachées à la colonne.

Options :
  --model M.smd        le modèle de référence (squelette cible, en-tête et pose de repos)
  --ref-anim R.smd     l'animation de référence (squelette source, sa première frame = repos)
  --con F.con          charge un fichier de conversion dans la grille après l'appariement
  --set ROW=NODES[:CORRECTION]
                       tape dans la ligne ROW (0 à 59, ou plus pour un modèle de plus de 60
                       nodes) de la grille, après l'appariement et --con ; l'une ou l'autre
                       partie peut manquer : 5=12, 5=:0.8, 5=112:0.25
                       (NODES + 100 : mélange avec la position de repos du modèle)
  --pair-same-names    apparie aussi les lignes qu'aucune classe de biped n'apparie avec le node
                       de l'animation de référence qui porte exactement le même nom (avant
                       --con et --set)
  --convert-biped      (build) convertit chaque animation avant de la transférer
  -o OUT.smd           (build, une seule animation) le fichier écrit
  --out-dir DIR        (build) dossier des fichiers écrits (créé s'il manque), sous le nom
                       proposé par BUILD SMD (préfixe du modèle + nom de l'animation) ;
                       par défaut le dossier courant
  --line-ends lf|crlf  fins de ligne écrites : crlf (défaut, comme la fenêtre) ou lf
  --threads N          (build) fils de calcul d'une longue animation ; par défaut un par
                       processeur, 4 au plus ; 1 : un seul
  --save-con F.con     (grid) enregistre la grille dans un fichier de conversion
  --lang fr|en         langue des messages ; sinon VARNEX_LANG, puis LANGUAGE, LC_ALL,
                       LC_MESSAGES et LANG
  --help               cette aide

Exemple :
  varnex-cli build --model samples/knight_ref.smd --ref-anim samples/runner_ref.smd )"
    // A backslash ending a line inside a raw string would be taken as a line splice by the
    // extraction of the texts.
    "\\\n" R"(      --set 5=:0.8 --out-dir out samples/runner_walk.smd
  écrit out/knight_runner_walk.smd.

Code de sortie : 0 fait, 1 un fichier refusé (message sur la sortie d'erreur), 2 ligne de
commande incorrecte.
)");

struct GRID_EDIT {
    int row;
    std::optional<std::string> nodes;
    std::optional<std::string> correction;
};

struct OPTIONS {
    std::string command;
    std::string model;
    std::string refAnim;
    std::string con;
    std::string saveCon;
    std::string output;
    std::string outDir;
    bool lfLineEnds = false;
    bool convertBiped = false;
    bool pairSameNames = false;
    ROOT_MODE rootMotion = ROOT_MODE::SCALE;
    bool json = false;
    int fps = 30;
    int from = 0;
    std::optional<int> to;
    int step = 1;
    int threads = BuildThreads();
    bool rangeGiven = false;
    std::vector<int> sheetFrames;  // --frames: a still sheet of these
    std::vector<GRID_EDIT> edits;
    std::vector<std::string> animations;
    const CTextCatalog* texts = &OriginalTexts();
};

class CUsageError {
public:
    explicit CUsageError(std::string text) : m_text(std::move(text)) {}
    const std::string& Text() const { return m_text; }

private:
    std::string m_text;
};

GRID_EDIT ParseEdit(const std::string& text, const CTextCatalog& texts) {
    std::size_t equals = text.find('=');
    if (equals == std::string::npos || equals == 0) {
        throw CUsageError(texts.Tr("--set attend ROW=NODES[:CORRECTION], pas « {0} »", {text}));
    }
    std::string rowText = text.substr(0, equals);
    for (char c : rowText) {
        if (c < '0' || c > '9') {
            throw CUsageError(texts.Tr("--set : ligne « {0} » invalide", {rowText}));
        }
    }
    // Rows are checked against the grid once the model is read; past 9999 no model goes.
    int row = rowText.size() > 4 ? 9999 : std::stoi(rowText);
    GRID_EDIT edit{row, std::nullopt, std::nullopt};
    std::string value = text.substr(equals + 1);
    std::size_t colon = value.find(':');
    std::string nodes = value.substr(0, colon);
    if (!nodes.empty()) edit.nodes = nodes;
    if (colon != std::string::npos) edit.correction = value.substr(colon + 1);
    if (!edit.nodes && !edit.correction) {
        throw CUsageError(texts.Tr("--set « {0} » ne change rien", {text}));
    }
    return edit;
}

// A whole number from minimum up, as an option's value.
int ParseCount(const std::string& option, const std::string& text, int minimum,
               const CTextCatalog& texts) {
    bool digits = !text.empty() && text.size() <= 7 &&
                  text.find_first_not_of("0123456789") == std::string::npos;
    if (!digits || std::stoi(text) < minimum) throw CUsageError(CliNumberUsage(option, text, texts));
    return std::stoi(text);
}

std::vector<int> ParseFrameList(const std::string& text, const CTextCatalog& texts) {
    std::vector<int> frames;
    std::size_t start = 0;
    for (;;) {
        std::size_t comma = text.find(',', start);
        std::string item = text.substr(start, comma == std::string::npos ? comma : comma - start);
        if (item.empty() || item.size() > 7 || item.find_first_not_of("0123456789") != std::string::npos) {
            throw CUsageError(CliFrameListUsage(text, texts));
        }
        frames.push_back(std::stoi(item));
        if (comma == std::string::npos) return frames;
        start = comma + 1;
    }
}

OPTIONS ParseOptions(int argc, const char* const* argv, const CTextCatalog& texts) {
    OPTIONS o;
    o.texts = &texts;
    if (argc < 2) {
        throw CUsageError(texts.Tr("commande manquante (build, grid, convert, check ou preview)"));
    }
    o.command = argv[1];
    if (o.command == "--help" || o.command == "-h") return o;
    if (o.command != "build" && o.command != "grid" && o.command != "convert" &&
        o.command != "check" && o.command != "preview") {
        throw CUsageError(texts.Tr("commande inconnue « {0} » (build, grid, convert, check ou "
                                   "preview)",
                                   {o.command}));
    }
    const bool builds = o.command == "build" || o.command == "check" || o.command == "preview";
    const bool preview = o.command == "preview";
    for (int i = 2; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) throw CUsageError(texts.Tr("{0} attend une valeur", {arg}));
            return argv[++i];
        };
        if (arg == "--help" || arg == "-h") {
            o.command = "--help";
            return o;
        } else if (arg == "--model") {
            o.model = value();
        } else if (arg == "--ref-anim") {
            o.refAnim = value();
        } else if (arg == "--con" && o.command != "convert") {
            o.con = value();
        } else if (arg == "--set" && o.command != "convert") {
            o.edits.push_back(ParseEdit(value(), texts));
        } else if (arg == "--save-con" && o.command == "grid") {
            o.saveCon = value();
        } else if (arg == "-o" && (o.command == "build" || preview)) {
            o.output = value();
        } else if (arg == "--out-dir" && (o.command == "build" || preview)) {
            o.outDir = value();
        } else if (arg == "--root-motion" && builds) {
            std::string kind = value();
            if (kind != "legs" && kind != "scale") throw CUsageError(CliRootMotionUsage(kind, texts));
            o.rootMotion = kind == "legs" ? ROOT_MODE::LEGS : ROOT_MODE::SCALE;
        } else if (arg == "--json" && o.command == "check") {
            o.json = true;
        } else if (arg == "--fps" && preview) {
            o.fps = ParseCount(arg, value(), 1, texts);
        } else if (arg == "--from" && preview) {
            o.from = ParseCount(arg, value(), 0, texts);
            o.rangeGiven = true;
        } else if (arg == "--to" && preview) {
            o.to = ParseCount(arg, value(), 0, texts);
            o.rangeGiven = true;
        } else if (arg == "--step" && preview) {
            o.step = ParseCount(arg, value(), 1, texts);
            o.rangeGiven = true;
        } else if (arg == "--frames" && preview) {
            o.sheetFrames = ParseFrameList(value(), texts);
        } else if (arg == "--pair-same-names" && o.command != "convert") {
            o.pairSameNames = true;
        } else if (arg == "--threads" && o.command == "build") {
            // More threads than segments in flight would only wait.
            o.threads = std::min(ParseCount(arg, value(), 1, texts), 64);
        } else if (arg == "--convert-biped" && builds) {
            o.convertBiped = true;
        } else if (arg == "--line-ends" && o.command != "grid") {
            std::string kind = value();
            if (kind == "lf" || kind == "crlf") {
                o.lfLineEnds = kind == "lf";
            } else {
                throw CUsageError(texts.Tr("--line-ends attend lf ou crlf, pas « {0} »", {kind}));
            }
        } else if (!arg.empty() && arg[0] == '-') {
            throw CUsageError(
                texts.Tr("option inconnue pour {0} : « {1} »", {o.command, arg}));
        } else {
            o.animations.push_back(arg);
        }
    }
    if (o.model.empty()) throw CUsageError(texts.Tr("--model manque"));
    if (o.refAnim.empty()) throw CUsageError(texts.Tr("--ref-anim manque"));
    if (o.command == "grid" && !o.animations.empty()) {
        throw CUsageError(texts.Tr("grid ne prend pas d'animation : « {0} »", {o.animations[0]}));
    }
    if (o.command != "grid" && o.animations.empty()) {
        throw CUsageError(texts.Tr("aucune animation donnée"));
    }
    if (!o.output.empty() && !o.outDir.empty()) {
        throw CUsageError(texts.Tr("-o et --out-dir s'excluent"));
    }
    if (!o.output.empty() && o.animations.size() > 1) {
        throw CUsageError(texts.Tr("-o ne vaut que pour une seule animation : utilisez --out-dir"));
    }
    if (!o.sheetFrames.empty() && o.rangeGiven) throw CUsageError(CliFramesOrRangeUsage(texts));
    // Every path the messages quote, given or composed, with the system's one separator.
    for (std::string* path : {&o.model, &o.refAnim, &o.con, &o.saveCon, &o.output, &o.outDir}) {
        *path = NativePathText(*path);
    }
    for (std::string& animation : o.animations) animation = NativePathText(animation);
    return o;
}

std::string LineEnd(const OPTIONS& o) { return o.lfLineEnds ? "\n" : "\r\n"; }

// The state of one run: what the loads read, once, and the grid as typed.
struct SESSION {
    SMD_HEAD model;
    SMD_HEAD refAnim;
    int nodeCount = 0;
    CGridTexts grid;
    BIPED_MARKS marks;
    BONE_SCALES scales;
    LEGS_RATIO legs;  // for the root warnings; not known when a first frame cannot be read
};

class CRefused {};  // the message is already out

void Report(const CVarnexError& e, const OPTIONS& o, std::ostream& err) {
    err << "varnex-cli: " << ErrorText(e, *o.texts) << '\n';
}

// SMD Ref Modele, SMD Ref Animation, the conversion file and the typed rows.
SESSION Prepare(const OPTIONS& o, std::ostream& err) {
    const CTextCatalog& texts = *o.texts;
    SESSION s;
    try {
        s.model = ReadModelFile(o.model);
    } catch (const CVarnexError& e) {
        Report(e, o, err);
        throw CRefused();
    }
    s.nodeCount = static_cast<int>(s.model.nodes.size());
    s.grid.Resize(std::max(s.nodeCount, DEFAULT_GRID_ROWS));
    if (s.nodeCount > MODEL_COMPILER_MAX_NODES) {
        err << "varnex-cli: " << NoteOverCompilerLimit(o.model, s.nodeCount, texts) << '\n';
    }
    for (const GRID_EDIT& edit : o.edits) {
        if (edit.row >= s.grid.Rows()) {
            throw CUsageError(
                texts.Tr("--set : la ligne doit aller de 0 à {0}, pas {1}",
                         {std::to_string(s.grid.Rows() - 1), std::to_string(edit.row)}));
        }
    }
    try {
        s.refAnim = ReadReferenceAnimationFile(o.refAnim);
        PAIRING pairing = PairSkeletons(s.model.nodes, s.nodeCount, s.refAnim.nodes, s.marks);
        s.grid.SetPartners(pairing.partner);
        if (o.pairSameNames) {
            s.grid.SetPartners(SameNamePartners(s.model.nodes, s.nodeCount, s.refAnim.nodes, s.grid.Values()));
        }
        s.marks = pairing.marks;
        s.scales = ComputeBoneScales(s.model, s.refAnim, s.grid.Values(), s.nodeCount, s.marks);
        if (!pairing.beyondNodes.empty()) {
            err << "varnex-cli: " << NoteBeyondNodes(o.refAnim, pairing.beyondNodes, texts) << '\n';
        }
        if (!o.con.empty()) {
            CON_FILE_ROWS file = ReadConFileFor(o.con, s.grid.Rows());
            s.grid.SetRows(file.rows);
            if (file.leftOut > 0) {
                err << "varnex-cli: " << NoteRowsLeftOut(o.con, file.leftOut, s.grid.Rows(), texts)
                    << '\n';
            }
        }
    } catch (const CVarnexError& e) {
        Report(e, o, err);
        throw CRefused();
    }
    for (const GRID_EDIT& edit : o.edits) {
        std::size_t row = static_cast<std::size_t>(edit.row);
        if (edit.nodes) s.grid.Nodes()[row] = *edit.nodes;
        if (edit.correction) s.grid.Corrections()[row] = *edit.correction;
    }
    return s;
}

void PrintGrid(const SESSION& s, const CTextCatalog& texts, std::ostream& out) {
    auto nameOf = [](const std::vector<SMD_NODE>& nodes, int n) -> std::string {
        if (n < 0 || static_cast<std::size_t>(n) >= nodes.size()) return "-";
        return nodes[static_cast<std::size_t>(n)].name;
    };
    // TRANSLATORS: the grid listing's heading; its columns are 5, 8, 12, 12 and 24 characters wide.
    out << texts.Tr("row  NODES   Correction  scale       model node              ref-anim node")
        << '\n' << std::left;
    for (int r = 0; r < s.grid.Rows(); ++r) {
        std::size_t i = static_cast<std::size_t>(r);
        bool used = r < s.nodeCount;
        std::string scale = used ? DecimalText(s.scales.factor[i]) : "-";
        std::string refName = "-";
        if (used) {
            int n = SourceLineOf(r, TextToInt(s.grid.Nodes()[i]));
            refName = n == REST_LINE ? texts.Tr("(repos du modèle)") : nameOf(s.refAnim.nodes, n);
        }
        out << std::setw(5) << r << std::setw(8) << s.grid.Nodes()[i] << std::setw(12)
            << s.grid.Corrections()[i] << std::setw(12) << scale << std::setw(24)
            << (used ? nameOf(s.model.nodes, r) : "-") << refName << '\n';
    }
    std::vector<int> sameNames = SameNamePartners(s.model.nodes, s.nodeCount, s.refAnim.nodes, s.grid.Values());
    out << NoteSameNames(static_cast<int>(
               std::count_if(sameNames.begin(), sameNames.end(), [](int n) { return n >= 0; })),
                             texts)
        << '\n';
}

int SaveCon(const SESSION& s, const OPTIONS& o, std::ostream& out, std::ostream& err) {
    const CTextCatalog& texts = *o.texts;
    try {
        if (NamesAnyOf(o.saveCon, {o.model, o.refAnim})) {
            throw CVarnexError(ERROR_KIND::OUTPUT_IS_INPUT, o.saveCon, 0);
        }
        s.grid.RequireFiniteCorrections(s.grid.Rows());
        std::string bytes = ComposeConFile(s.grid.Values());
        CAtomicOutput output(o.saveCon);
        output.Write(bytes);
        output.Commit();
    } catch (const CVarnexError& e) {
        err << "varnex-cli: "
            << (e.File().empty() ? texts.Tr("{0} : {1}", {o.saveCon, ErrorMessage(e, texts)})
                                 : ErrorText(e, texts))
            << '\n';
        return EXIT_REFUSED;
    }
    out << texts.Tr("écrit : {0}", {o.saveCon}) << '\n';
    return 0;
}

// SMD Animation and Convert CS Bipede when asked: the animation to retarget, opened once and
// left where its frames begin (the converted file after a conversion).
struct READY_ANIMATION {
    std::string path;
    CFile file;
    std::optional<CLineReader> frames;
    std::vector<SMD_NODE> nodes;  // its node list
};

void ReadyAnimation(SESSION& s, const OPTIONS& o, const std::string& animation, std::ostream& out,
                    READY_ANIMATION& ready) {
    ready.path = animation;
    ready.file.OpenForReading(animation);
    ready.nodes = ReadAnimationHead(ready.frames.emplace(ready.file)).nodes;
    if (o.command != "convert" && !o.convertBiped) return;
    bool thighNamedLeg = s.marks.thighNamedLeg;
    BIPED_NODES nodes = FindBipedNodes(s.refAnim, thighNamedLeg);
    std::string converted = ConvertedPathOf(animation);
    if (NamesAnyOf(converted, {o.model, o.refAnim})) {
        throw CVarnexError(ERROR_KIND::CONVERTED_IS_REFERENCE, converted, 0);
    }
    CAtomicOutput output(converted);
    ready.file.Seek(0);
    CLineReader whole(ready.file);
    WriteConvertedAnimation(nodes, whole, output, LineEnd(o));
    output.Commit();
    s.marks.leftThigh = nodes.leftThigh;
    s.marks.rightThigh = nodes.rightThigh;
    s.marks.thighNamedLeg = thighNamedLeg;
    ready.path = converted;
    out << o.texts->Tr("écrit : {0}", {converted}) << '\n';
    if (o.command == "convert") return;
    ready.file.OpenForReading(converted);
    ready.nodes = ReadAnimationHead(ready.frames.emplace(ready.file)).nodes;
}

// The same for the commands that read the animation again by its path.
std::string ReadyAnimation(SESSION& s, const OPTIONS& o, const std::string& animation,
                           std::ostream& out) {
    READY_ANIMATION ready;
    ReadyAnimation(s, o, animation, out, ready);
    return ready.path;
}

// -o, or BUILD SMD's name in --out-dir (or the current folder) with the extension given; never an
// input.
std::string OutputPath(const OPTIONS& o, const std::string& animPath, const std::string& extension) {
    std::string target = o.output;
    if (target.empty()) {
        target = o.outDir.empty() ? std::string(".") : o.outDir;
        if (target.back() != '/' && target.back() != '\\') target += PATH_SEPARATOR;
        std::string name = DefaultOutputName(o.model, animPath);
        if (extension != ".smd") {
            bool smd = name.size() > 4 && name.compare(name.size() - 4, 4, ".smd") == 0;
            name = (smd ? name.substr(0, name.size() - 4) : name) + extension;
        }
        target += name;
    }
    if (NamesAnyOf(target, {o.model, o.refAnim, animPath})) {
        throw CVarnexError(ERROR_KIND::OUTPUT_IS_INPUT, target, 0);
    }
    return target;
}

void TellWarning(const std::string& file, const MOTION_WARNING& warning, const OPTIONS& o,
                 std::ostream& err) {
    err << "varnex-cli: " << WarningNote(file, warning, *o.texts) << '\n';
}

void TellUnusedNodes(const std::string& file, const std::vector<std::string>& unused,
                     const OPTIONS& o, std::ostream& err) {
    if (!unused.empty()) err << "varnex-cli: " << NoteUnusedNodes(file, unused, *o.texts) << '\n';
}

// The rows of a build, once the corrections are known to be numbers.
std::vector<RETARGET_ROW> RowsOf(const SESSION& s) {
    s.grid.RequireFiniteCorrections(s.nodeCount);
    return BuildRows(s.grid.Values(), s.scales.factor, s.nodeCount);
}

// SMD Animation, Convert CS Bipede when asked, then BUILD SMD, for one animation, opened once.
int RunAnimation(SESSION& s, const OPTIONS& o, const std::string& animation, std::ostream& out,
                 std::ostream& err) {
    try {
        READY_ANIMATION ready;
        ReadyAnimation(s, o, animation, out, ready);
        if (o.command == "convert") return 0;
        std::string target = OutputPath(o, ready.path, ".smd");
        BUILD_JOB job;
        job.model = &s.model;
        job.rows = RowsOf(s);
        ANIMATION_NODES nodes =
            MapAnimationNodes(s.refAnim.nodes, ready.nodes, SourcesRead(job.rows), ready.path);
        job.animNodes = &nodes;
        job.lineEnd = LineEnd(o);
        job.threads = o.threads;
        std::optional<ROOT_FROM_LEGS> rule;
        if (o.rootMotion == ROOT_MODE::LEGS) {
            rule = RootRuleFromLegs(s.model, s.refAnim, job.rows.empty() ? 0 : job.rows[0].nodes);
            job.rootFromLegs = &*rule;
        }
        CRootHeightRange heights;
        job.rootHeights = &heights;
        CBoneTears tears;
        job.boneTears = &tears;
        RetargetAnimation(job, *ready.frames, target);
        out << o.texts->Tr("écrit : {0}", {target}) << '\n';
        TellUnusedNodes(ready.path, nodes.unused, o, err);
        double factor = job.rows.empty() ? 0.0 : job.rows[0].boneScale;
        for (const MOTION_WARNING& w : BuildWarnings(s.legs, factor, o.rootMotion, heights, tears)) {
            TellWarning(target, w, o, err);
        }
        return 0;
    } catch (const CVarnexError& e) {
        Report(e, o, err);
        return EXIT_REFUSED;
    }
}

// The motion check of one animation, retargeted in memory.
MOTION_REPORT CheckAnimation(SESSION& s, const OPTIONS& o, const std::string& animation,
                             std::ostream& out, std::ostream& err) {
    std::string animPath = ReadyAnimation(s, o, animation, out);
    MOTION_SETUP setup = MakeMotionSetup(s.model, s.refAnim, RowsOf(s), o.rootMotion);
    CAnimationRetarget run(setup, animPath);
    TellUnusedNodes(animPath, run.UnusedNodes(), o, err);
    MOTION_CHECK_INPUT input;
    input.animation = animPath;
    input.sourceNodes = run.SourceNodes();
    input.sourceRest = setup.refRest;
    input.modelNodes = setup.modelNodes;
    input.modelRest = setup.modelRest;
    input.rows = setup.rows;
    input.legs = setup.legs;
    input.rootFromLegs = setup.rootFromLegs.has_value();
    CMotionCheck check(std::move(input));
    while (run.Next(true)) check.AddFrame(run.Source(), run.Result());
    return check.Report();
}

int RunCheck(SESSION& s, const OPTIONS& o, std::ostream& out, std::ostream& err) {
    int status = 0;
    std::vector<MOTION_REPORT> reports;
    for (const std::string& animation : o.animations) {
        try {
            reports.push_back(CheckAnimation(s, o, animation, out, err));
        } catch (const CVarnexError& e) {
            Report(e, o, err);
            status = EXIT_REFUSED;
        }
    }
    if (o.json) {
        if (!reports.empty()) out << ReportsJson(reports, *o.texts);
        return status;
    }
    for (std::size_t i = 0; i < reports.size(); ++i) out << (i > 0 ? "\n" : "") << ReportTable(reports[i], *o.texts);
    return status;
}

// preview of one animation: the frames chosen, retargeted in memory, drawn into one SVG file.
int PreviewAnimation(SESSION& s, const OPTIONS& o, const std::string& animation, std::ostream& out,
                     std::ostream& err) {
    try {
        std::string animPath = ReadyAnimation(s, o, animation, out);
        std::string target = OutputPath(o, animPath, ".svg");
        MOTION_SETUP setup = MakeMotionSetup(s.model, s.refAnim, RowsOf(s), o.rootMotion);
        CAnimationRetarget run(setup, animPath);
        TellUnusedNodes(animPath, run.UnusedNodes(), o, err);
        std::size_t modelCount = setup.modelNodes.size();
        std::size_t sourceCount = run.SourceNodes().size();
        CPreviewFigure sourceFigure(run.SourceNodes(), setup.refRest,
                                    DrivingSourceNodes(setup.rows, modelCount, sourceCount));
        CPreviewFigure resultFigure(setup.modelNodes, setup.modelRest,
                                    PairedRows(setup.rows, modelCount, sourceCount));
        PREVIEW_OPTIONS options;
        options.animate = o.sheetFrames.empty();
        options.fps = o.fps;
        options.texts = o.texts;
        bool cut = false;
        for (int frame = 0;; ++frame) {
            bool wanted;
            if (!options.animate) {
                wanted = std::find(o.sheetFrames.begin(), o.sheetFrames.end(), frame) !=
                         o.sheetFrames.end();
            } else {
                wanted = frame >= o.from && (frame - o.from) % o.step == 0 && (!o.to || frame <= *o.to);
                if (wanted && !o.to && options.frameNumbers.size() == PREVIEW_DEFAULT_FRAMES) {
                    wanted = false;
                    cut = true;
                }
            }
            if (!run.Next(wanted)) break;
            if (!wanted) continue;
            sourceFigure.AddFrame(run.Source());
            resultFigure.AddFrame(run.Result());
            options.frameNumbers.push_back(frame);
        }
        int frames = run.FramesRead();
        std::vector<int> asked = o.sheetFrames;
        asked.push_back(o.from);
        for (int frame : asked) {
            if (frame >= frames) {
                throw CVarnexError(ERROR_KIND::FRAME_NOT_IN_ANIMATION, animPath, 0,
                                   {std::to_string(frame), std::to_string(frames)});
            }
        }
        CAtomicOutput output(target);
        output.Write(PreviewSvg(sourceFigure, resultFigure, options));
        output.Commit();
        out << o.texts->Tr("écrit : {0}", {target}) << '\n';
        if (cut) {
            err << "varnex-cli: "
                << PreviewCutNote(animPath, frames, static_cast<int>(options.frameNumbers.size()),
                                  *o.texts)
                << '\n';
        }
        return 0;
    } catch (const CVarnexError& e) {
        Report(e, o, err);
        return EXIT_REFUSED;
    }
}

void ReportUsage(const CUsageError& e, const CTextCatalog& texts, std::ostream& err) {
    err << "varnex-cli: " << e.Text() << '\n'
        << texts.Tr("(varnex-cli --help pour l'aide)") << '\n';
}

int Run(const OPTIONS& o, std::ostream& out, std::ostream& err) {
    const CTextCatalog& texts = *o.texts;
    SESSION s;
    try {
        s = Prepare(o, err);
    } catch (const CRefused&) {
        return EXIT_REFUSED;
    } catch (const CUsageError& e) {
        ReportUsage(e, texts, err);
        return EXIT_USAGE;
    }
    if (o.command != "convert") s.legs = LoadedLegsRatio(s.model, s.refAnim);
    // The pairing's root warning; a build says it with each animation it writes, and a check in
    // its report.
    if ((o.command == "grid" || o.command == "preview") && o.rootMotion == ROOT_MODE::SCALE &&
        !s.scales.factor.empty()) {
        if (auto w = RootFactorWarning(s.scales.factor[0], s.legs)) TellWarning(o.refAnim, *w, o, err);
    }
    if (o.command == "grid") {
        PrintGrid(s, texts, out);
        return o.saveCon.empty() ? 0 : SaveCon(s, o, out, err);
    }
    if (!o.outDir.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(PathFromUtf8(o.outDir), ec);
        if (ec) {
            // The folder's error speaks the user's language where it is a common one.
            std::error_condition reason = ec.default_error_condition();
            err << "varnex-cli: "
                << texts.Tr("{0} : impossible de créer le dossier : {1}",
                            {o.outDir, reason.category() == std::generic_category()
                                           ? SystemReason(reason.value(), texts)
                                           : ec.message()})
                << '\n';
            return EXIT_REFUSED;
        }
    }
    if (o.command == "check") return RunCheck(s, o, out, err);
    int status = 0;
    for (const std::string& animation : o.animations) {
        int done = o.command == "preview" ? PreviewAnimation(s, o, animation, out, err)
                                          : RunAnimation(s, o, animation, out, err);
        if (done != 0) status = EXIT_REFUSED;
    }
    return status;
}
}  // namespace

int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
           const CTextCatalog& texts, const std::vector<std::string>& languages) {
    // --lang chose the catalog before the run; here it is only checked and set aside.
    std::vector<const char*> args;
    OPTIONS options;
    try {
        for (int i = 0; i < argc; ++i) {
            if (i == 0 || std::string(argv[i]) != "--lang") {
                args.push_back(argv[i]);
                continue;
            }
            if (i + 1 >= argc) throw CUsageError(texts.Tr("{0} attend une valeur", {"--lang"}));
            std::string language = argv[++i];
            if (std::find(languages.begin(), languages.end(), language) == languages.end()) {
                std::string known;
                for (const std::string& l : languages) known += (known.empty() ? "" : "|") + l;
                throw CUsageError(texts.Tr("--lang attend {0}, pas « {1} »", {known, language}));
            }
        }
        options = ParseOptions(static_cast<int>(args.size()), args.data(), texts);
    } catch (const CUsageError& e) {
        ReportUsage(e, texts, err);
        return EXIT_USAGE;
    }
    if (options.command == "--help") {
        out << texts.Tr(HELP_TEXT) << CliMotionHelp(texts);
        return 0;
    }
    return Run(options, out, err);
}

}  // namespace varnex
