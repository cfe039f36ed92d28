#include "cli/cli_commands.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/error_text.h"
#include "app/session_texts.h"
#include "session/retarget_session.h"
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
#include "qc/qc_set.h"
#include "app/qc_texts.h"
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
    std::string qc;        // qc: the source set
    std::string targetQc;  // qc: the model's own .qc
    bool keepGoing = false;
    bool lfLineEnds = false;
    bool convertBiped = false;
    bool pairSameNames = false;
    ROOT_MODE rootMotion = ROOT_MODE::SCALE;
    RETARGET_METHOD method = RETARGET_METHOD::LOCAL;
    FEET_MODE feet = FEET_MODE::NONE;
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
        throw CUsageError(
            texts.Tr("commande manquante (build, grid, convert, check, preview ou qc)"));
    }
    o.command = argv[1];
    if (o.command == "--help" || o.command == "-h") return o;
    if (o.command != "build" && o.command != "grid" && o.command != "convert" &&
        o.command != "check" && o.command != "preview" && o.command != "qc") {
        throw CUsageError(texts.Tr("commande inconnue « {0} » (build, grid, convert, check, "
                                   "preview ou qc)",
                                   {o.command}));
    }
    const bool set = o.command == "qc";
    const bool builds =
        o.command == "build" || o.command == "check" || o.command == "preview" || set;
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
        } else if (arg == "--qc" && set) {
            o.qc = value();
        } else if (arg == "--target-qc" && set) {
            o.targetQc = value();
        } else if (arg == "--keep-going" && set) {
            o.keepGoing = true;
        } else if (arg == "--out-dir" && (o.command == "build" || preview || set)) {
            o.outDir = value();
        } else if (arg == "--root-motion" && builds) {
            std::string kind = value();
            if (kind != "legs" && kind != "scale") throw CUsageError(CliRootMotionUsage(kind, texts));
            o.rootMotion = kind == "legs" ? ROOT_MODE::LEGS : ROOT_MODE::SCALE;
        } else if (arg == "--method" && (builds || o.command == "grid")) {
            std::string kind = value();
            if (kind != "local" && kind != "world") {
                throw CUsageError(texts.Tr("--method attend local ou world, pas « {0} »", {kind}));
            }
            o.method = kind == "world" ? RETARGET_METHOD::WORLD : RETARGET_METHOD::LOCAL;
        } else if (arg == "--feet" && (builds || o.command == "grid")) {
            std::string kind = value();
            if (kind != "contact" && kind != "none") {
                throw CUsageError(texts.Tr("--feet attend contact ou none, pas « {0} »", {kind}));
            }
            o.feet = kind == "contact" ? FEET_MODE::CONTACT : FEET_MODE::NONE;
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
        } else if (arg == "--threads" && (o.command == "build" || set)) {
            // More threads than segments in flight would only wait.
            o.threads = std::min(ParseCount(arg, value(), 1, texts), 64);
        } else if (arg == "--convert-biped" && builds && !set) {
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
    if (set) {
        if (!o.animations.empty()) {
            throw CUsageError(texts.Tr("qc prend ses animations du .qc : « {0} »", {o.animations[0]}));
        }
        if (o.qc.empty()) throw CUsageError(texts.Tr("--qc manque"));
        if (o.outDir.empty()) throw CUsageError(texts.Tr("--out-dir manque"));
    } else if (o.command != "grid" && o.animations.empty()) {
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
    for (std::string* path :
         {&o.model, &o.refAnim, &o.con, &o.saveCon, &o.output, &o.outDir, &o.qc, &o.targetQc}) {
        *path = NativePathText(*path);
    }
    for (std::string& animation : o.animations) animation = NativePathText(animation);
    return o;
}

class CRefused {};  // the message is already out

void Report(const CVarnexError& e, const OPTIONS& o, std::ostream& err) {
    err << "varnex-cli: " << ErrorText(e, *o.texts) << '\n';
}

void Tell(const std::vector<SESSION_NOTE>& notes, const OPTIONS& o, std::ostream& err) {
    for (const SESSION_NOTE& note : notes) {
        err << "varnex-cli: " << SessionNoteText(note, *o.texts) << '\n';
    }
}

// SMD Ref Modele, SMD Ref Animation, the conversion file and the edits, into the session.
void Prepare(CRetargetSession& s, const OPTIONS& o, std::ostream& err) {
    const CTextCatalog& texts = *o.texts;
    s.Options().pairSameNames = o.pairSameNames;
    s.Options().rootMotion = o.rootMotion;
    s.Options().method = o.method;
    s.Options().feet = o.feet;
    s.Options().lineEnd = o.lfLineEnds ? "\n" : "\r\n";
    s.Options().threads = o.threads;
    try {
        Tell(s.LoadModel(o.model), o, err);
    } catch (const CVarnexError& e) {
        Report(e, o, err);
        throw CRefused();
    }
    for (const GRID_EDIT& edit : o.edits) {
        if (edit.row >= s.Grid().Rows()) {
            throw CUsageError(
                texts.Tr("--set : la ligne doit aller de 0 à {0}, pas {1}",
                         {std::to_string(s.Grid().Rows() - 1), std::to_string(edit.row)}));
        }
    }
    try {
        Tell(s.LoadReference(o.refAnim).notes, o, err);
        if (!o.con.empty()) Tell(s.LoadCon(o.con), o, err);
    } catch (const CVarnexError& e) {
        Report(e, o, err);
        throw CRefused();
    }
    for (const GRID_EDIT& edit : o.edits) {
        std::size_t row = static_cast<std::size_t>(edit.row);
        if (edit.nodes) s.Grid().Nodes()[row] = *edit.nodes;
        if (edit.correction) s.Grid().Corrections()[row] = *edit.correction;
    }
}

void PrintGrid(const CRetargetSession& s, const CTextCatalog& texts, std::ostream& out) {
    auto nameOf = [](const std::vector<SMD_NODE>& nodes, int n) -> std::string {
        if (n < 0 || static_cast<std::size_t>(n) >= nodes.size()) return "-";
        return nodes[static_cast<std::size_t>(n)].name;
    };
    const CGridTexts& grid = s.Grid();
    const int nodeCount = s.NodeCount();
    // TRANSLATORS: the grid listing's heading; its columns are 5, 8, 12, 12 and 24 characters wide.
    out << texts.Tr("row  NODES   Correction  scale       model node              ref-anim node")
        << '\n';
    // A text as wide as its column or wider is followed by one space, which keeps the columns of
    // long names apart; shorter ones are padded as before.
    auto column = [&out](const std::string& text, std::size_t width) {
        out << text << std::string(text.size() < width ? width - text.size() : 1, ' ');
    };
    for (int r = 0; r < grid.Rows(); ++r) {
        std::size_t i = static_cast<std::size_t>(r);
        bool used = r < nodeCount;
        std::string scale = used ? DecimalText(s.BoneScales()[i]) : "-";
        std::string refName = "-";
        if (used) {
            int n = DecodeRow(r, RETARGET_ROW{TextToInt(grid.Nodes()[i])}).source;
            refName = n == REST_LINE ? texts.Tr("(repos du modèle)") : nameOf(s.Reference().nodes, n);
        }
        column(std::to_string(r), 5);
        column(grid.Nodes()[i], 8);
        column(grid.Corrections()[i], 12);
        column(scale, 12);
        column(used ? nameOf(s.Model().nodes, r) : "-", 24);
        out << refName << '\n';
    }
    std::vector<int> sameNames =
        SameNamePartners(s.Model().nodes, nodeCount, s.Reference().nodes, grid.Values(),
                         s.PairingRules());
    out << NoteSameNames(static_cast<int>(
               std::count_if(sameNames.begin(), sameNames.end(), [](int n) { return n >= 0; })),
                             texts)
        << '\n';
}

int SaveCon(const CRetargetSession& s, const OPTIONS& o, std::ostream& out, std::ostream& err) {
    const CTextCatalog& texts = *o.texts;
    try {
        if (NamesAnyOf(o.saveCon, {o.model, o.refAnim})) {
            throw CVarnexError(ERROR_KIND::OUTPUT_IS_INPUT, o.saveCon, 0);
        }
        s.Grid().RequireFiniteCorrections(s.Grid().Rows());
        std::string bytes = ComposeConFile(s.Grid().Values());
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

// SMD Animation, and Convert CS Bipede when asked: the path of the animation to retarget.
std::string ReadyAnimation(CRetargetSession& s, const OPTIONS& o, const std::string& animation,
                           std::ostream& out) {
    if (o.command != "convert" && !o.convertBiped) return animation;
    std::string converted = s.ConvertBiped(animation);
    out << o.texts->Tr("écrit : {0}", {converted}) << '\n';
    return converted;
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

// SMD Animation, Convert CS Bipede when asked, then BUILD SMD, for one animation.
int RunAnimation(CRetargetSession& s, const OPTIONS& o, const std::string& animation,
                 std::ostream& out, std::ostream& err) {
    try {
        std::string animPath = ReadyAnimation(s, o, animation, out);
        if (o.command == "convert") return 0;
        std::string target = OutputPath(o, animPath, ".smd");
        BUILD_RESULT built = s.Build(animPath, target);
        out << o.texts->Tr("écrit : {0}", {target}) << '\n';
        Tell(built.notes, o, err);
        return 0;
    } catch (const CVarnexError& e) {
        Report(e, o, err);
        return EXIT_REFUSED;
    }
}

int RunCheck(CRetargetSession& s, const OPTIONS& o, std::ostream& out, std::ostream& err) {
    int status = 0;
    std::vector<MOTION_REPORT> reports;
    for (const std::string& animation : o.animations) {
        try {
            std::vector<SESSION_NOTE> notes;
            reports.push_back(s.Check(ReadyAnimation(s, o, animation, out), notes));
            Tell(notes, o, err);
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
int PreviewAnimation(CRetargetSession& s, const OPTIONS& o, const std::string& animation,
                     std::ostream& out, std::ostream& err) {
    try {
        std::string animPath = ReadyAnimation(s, o, animation, out);
        std::string target = OutputPath(o, animPath, ".svg");
        MOTION_SETUP setup = s.MotionSetup();
        CAnimationRetarget run(setup, animPath);
        if (!run.UnusedNodes().empty()) {
            err << "varnex-cli: " << NoteUnusedNodes(animPath, run.UnusedNodes(), *o.texts) << '\n';
        }
        std::size_t modelCount = setup.modelNodes.size();
        std::size_t sourceCount = run.RowSourceNodes().size();
        CPreviewFigure sourceFigure(run.RowSourceNodes(), run.RowSourceRig(), setup.refRest,
                                    DrivingSourceNodes(setup.rows, modelCount, sourceCount));
        CPreviewFigure resultFigure(setup.modelNodes, setup.modelRig, setup.modelRest,
                                    PairedRows(setup.rows, modelCount, sourceCount));
        PREVIEW_OPTIONS options;
        options.animate = o.sheetFrames.empty();
        options.fps = o.fps;
        options.texts = o.texts;
        // Torn bones and chains at an angle are watched over every frame, drawn or not, and the
        // feet too (the same measure): the marks of the planted ones are drawn once all are known.
        CBoneWarnings bones(setup, run.RowSourceNodes(), run.RowSourceRig());
        // Every frame is measured: with a second thread, the next are read and retargeted meanwhile.
        if (s.Options().threads > 1) run.ReadAhead();
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
            if (!run.Next(true)) break;
            bones.AddFrame(run.RowSource(), run.Result());
            if (!wanted) continue;
            sourceFigure.AddFrame(run.RowSource());
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
        options.contacts = bones.SourceContacts();
        CAtomicOutput output(target);
        output.Write(PreviewSvg(sourceFigure, resultFigure, options));
        output.Commit();
        out << o.texts->Tr("écrit : {0}", {target}) << '\n';
        Tell(s.WatchNotes(animPath, bones.Warnings()), o, err);
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

// qc: every SMD the source's sequences name, built on the one grid, and the model's .qc.
int RunQc(CRetargetSession& s, const OPTIONS& o, std::ostream& out, std::ostream& err) {
    const CTextCatalog& texts = *o.texts;
    QC_SET_REQUEST request;
    request.sourceQc = o.qc;
    request.targetQc = o.targetQc;
    request.outDir = o.outDir;
    request.keepGoing = o.keepGoing;
    if (!o.con.empty()) request.otherInputs.push_back(o.con);
    request.texts = &texts;
    QC_SET_RESULT result;
    try {
        result = s.BuildSet(request,
                            [&](const SESSION_NOTE& note) { return SessionNoteText(note, texts); });
    } catch (const CVarnexError& e) {
        err << "varnex-cli: " << QcErrorText(e, texts) << '\n';
        return EXIT_REFUSED;
    }
    for (const QC_WARNING& w : result.readWarnings) err << "varnex-cli: " << QcWarningText(w, texts) << '\n';
    for (const std::string& note : result.notes) err << "varnex-cli: " << note << '\n';
    for (const QC_SET_WARNING& w : result.warnings) {
        err << "varnex-cli: " << QcSetWarningText(w, texts) << '\n';
    }
    for (const QC_REFUSAL& refusal : result.refusals) {
        for (const std::string& line : QcRefusalLines(refusal, texts)) {
            err << "varnex-cli: " << line << '\n';
        }
    }
    if (!result.written) return EXIT_REFUSED;
    out << texts.Tr("écrit : {0}", {result.qcPath}) << '\n'
        << CliQcDone(result.sequencesWritten, o.outDir, texts) << '\n';
    return result.refusals.empty() ? 0 : EXIT_REFUSED;
}

void ReportUsage(const CUsageError& e, const CTextCatalog& texts, std::ostream& err) {
    err << "varnex-cli: " << e.Text() << '\n'
        << texts.Tr("(varnex-cli --help pour l'aide)") << '\n';
}

int Run(const OPTIONS& o, std::ostream& out, std::ostream& err) {
    const CTextCatalog& texts = *o.texts;
    CRetargetSession s;
    try {
        Prepare(s, o, err);
    } catch (const CRefused&) {
        return EXIT_REFUSED;
    } catch (const CUsageError& e) {
        ReportUsage(e, texts, err);
        return EXIT_USAGE;
    }
    // The pairing's root warning; a build says it with each animation it writes, and a check in
    // its report.
    if (o.command == "grid" || o.command == "preview") {
        for (const MOTION_WARNING& w : s.PairingWarnings()) {
            err << "varnex-cli: " << WarningNote(o.refAnim, w, texts) << '\n';
        }
    }
    if (o.command == "grid") {
        PrintGrid(s, texts, out);
        return o.saveCon.empty() ? 0 : SaveCon(s, o, out, err);
    }
    if (!o.outDir.empty() && o.command != "qc") {  // a set makes its own folder, and takes it back
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
    if (o.command == "qc") return RunQc(s, o, out, err);
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
        out << texts.Tr(HELP_TEXT) << CliMotionHelp(texts) << CliMethodHelp(texts)
            << CliFeetHelp(texts) << CliQcHelp(texts);
        return 0;
    }
    return Run(options, out, err);
}

}  // namespace varnex
