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
#include "conversion_file/con_file.h"
#include "pairing/bone_scale.h"
#include "pairing/skeleton_pairing.h"
#include "platform/file_access.h"
#include "retarget/build_smd.h"
#include "smd_input/decimal_text.h"
#include "smd_input/number_text.h"

namespace varnex {

namespace {
constexpr int EXIT_REFUSED = 1;
constexpr int EXIT_USAGE = 2;

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
                       nodes) de la grille, après l'appariement et
                       --con ; l'une ou l'autre partie peut manquer : 5=12, 5=:0.8, 5=112:0.25
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

OPTIONS ParseOptions(int argc, const char* const* argv, const CTextCatalog& texts) {
    OPTIONS o;
    o.texts = &texts;
    if (argc < 2) throw CUsageError(texts.Tr("commande manquante (build, grid ou convert)"));
    o.command = argv[1];
    if (o.command == "--help" || o.command == "-h") return o;
    if (o.command != "build" && o.command != "grid" && o.command != "convert") {
        throw CUsageError(
            texts.Tr("commande inconnue « {0} » (build, grid ou convert)", {o.command}));
    }
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
        } else if (arg == "-o" && o.command == "build") {
            o.output = value();
        } else if (arg == "--out-dir" && o.command == "build") {
            o.outDir = value();
        } else if (arg == "--pair-same-names" && o.command != "convert") {
            o.pairSameNames = true;
        } else if (arg == "--convert-biped" && o.command == "build") {
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

// SMD Animation, Convert CS Bipede when asked, then BUILD SMD, for one animation.
int RunAnimation(SESSION& s, const OPTIONS& o, const std::string& animation, std::ostream& out,
                 std::ostream& err) {
    try {
        ReadAnimationHeadFile(animation);
        std::string animPath = animation;
        if (o.command == "convert" || o.convertBiped) {
            bool thighNamedLeg = s.marks.thighNamedLeg;
            BIPED_NODES nodes = FindBipedNodes(s.refAnim, thighNamedLeg);
            std::string converted = ConvertedPathOf(animPath);
            if (NamesAnyOf(converted, {o.model, o.refAnim})) {
                throw CVarnexError(ERROR_KIND::CONVERTED_IS_REFERENCE, converted, 0);
            }
            ConvertAnimationFile(nodes, animPath, LineEnd(o));
            s.marks.leftThigh = nodes.leftThigh;
            s.marks.rightThigh = nodes.rightThigh;
            s.marks.thighNamedLeg = thighNamedLeg;
            animPath = converted;
            out << o.texts->Tr("écrit : {0}", {animPath}) << '\n';
        }
        if (o.command == "convert") return 0;
        std::string target = o.output;
        if (target.empty()) {
            target = o.outDir.empty() ? std::string("./") : o.outDir;
            if (target.back() != '/' && target.back() != '\\') target += '/';
            target += DefaultOutputName(o.model, animPath);
        }
        if (NamesAnyOf(target, {o.model, o.refAnim, animPath})) {
            throw CVarnexError(ERROR_KIND::OUTPUT_IS_INPUT, target, 0);
        }
        s.grid.RequireFiniteCorrections(s.nodeCount);
        BUILD_JOB job;
        job.model = &s.model;
        job.rows = BuildRows(s.grid.Values(), s.scales.factor, s.nodeCount);
        job.lineEnd = LineEnd(o);
        RetargetAnimationFile(job, animPath, target);
        out << o.texts->Tr("écrit : {0}", {target}) << '\n';
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
    if (o.command == "grid") {
        PrintGrid(s, texts, out);
        return o.saveCon.empty() ? 0 : SaveCon(s, o, out, err);
    }
    if (!o.outDir.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(o.outDir, ec);
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
    int status = 0;
    for (const std::string& animation : o.animations) {
        if (RunAnimation(s, o, animation, out, err) != 0) status = EXIT_REFUSED;
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
            std::string language = i + 1 < argc ? argv[++i] : "";
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
        out << texts.Tr(HELP_TEXT);
        return 0;
    }
    return Run(options, out, err);
}

}  // namespace varnex
