#include "cli/cli_commands.h"

#include <filesystem>
#include <iomanip>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/varnex_dlg.h"
#include "build/decimal_text.h"
#include "build/node_line.h"
#include "cli/cli_platform.h"
#include "platform/native_path.h"
#include "smd_input/number_text.h"

namespace {
constexpr int EXIT_REFUSED = 1;
constexpr int EXIT_USAGE = 2;

const char* const HELP_TEXT = R"(varnex-cli : transfère une animation Half-Life (SMD) d'un squelette biped à un autre.

Usage :
  varnex-cli build --model M.smd --ref-anim R.smd [options] ANIM.smd [ANIM2.smd ...]
  varnex-cli grid  --model M.smd --ref-anim R.smd [--con F.con] [--set ...] [--save-con F.con]
  varnex-cli convert --model M.smd --ref-anim R.smd ANIM.smd [ANIM2.smd ...]

Commandes :
  build    SMD Ref Modele, SMD Ref Animation, puis pour chaque animation SMD Animation et
           BUILD SMD : écrit l'animation transférée sur le squelette du modèle.
  grid     affiche les 60 lignes de la grille après l'appariement : ligne, NODES, Correction,
           échelle de l'os, node du modèle et node de l'animation de référence.
  convert  Convert CS Bipede seul : écrit à côté de chaque animation une copie (nom + "New")
           dont les cuisses sont rattachées à la colonne.

Options :
  --model M.smd        le modèle de référence (squelette cible, en-tête et pose de repos)
  --ref-anim R.smd     l'animation de référence (squelette source, sa première frame = repos)
  --con F.con          charge un fichier de conversion dans la grille après l'appariement
  --set ROW=NODES[:CORRECTION]
                       tape dans la ligne ROW (0 à 59) de la grille, après l'appariement et
                       --con ; l'une ou l'autre partie peut manquer : 5=12, 5=:0.8, 5=112:0.25
                       (NODES + 100 : mélange avec la position de repos du modèle)
  --convert-biped      (build) convertit chaque animation avant de la transférer
  -o OUT.smd           (build, une seule animation) le fichier écrit
  --out-dir DIR        (build) dossier des fichiers écrits (créé s'il manque), sous le nom
                       proposé par BUILD SMD (préfixe du modèle + nom de l'animation) ;
                       par défaut le dossier courant
  --line-ends lf|crlf  fins de ligne écrites : crlf (défaut, comme la fenêtre) ou lf
  --save-con F.con     (grid) enregistre la grille dans un fichier de conversion
  --help               cette aide

Exemple :
  varnex-cli build --model samples/knight_ref.smd --ref-anim samples/runner_ref.smd \
      --set 5=:0.8 --out-dir out samples/runner_walk.smd
  écrit out/knight_runner_walk.smd.

Code de sortie : 0 fait, 1 un fichier refusé (message sur la sortie d'erreur), 2 ligne de
commande incorrecte.
)";

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
    std::vector<GRID_EDIT> edits;
    std::vector<std::string> animations;
};

class CUsageError {
public:
    explicit CUsageError(std::string text) : m_text(std::move(text)) {}
    const std::string& Text() const { return m_text; }

private:
    std::string m_text;
};

GRID_EDIT ParseEdit(const std::string& text) {
    std::size_t equals = text.find('=');
    if (equals == std::string::npos || equals == 0) {
        throw CUsageError("--set attend ROW=NODES[:CORRECTION], pas « " + text + " »");
    }
    std::string rowText = text.substr(0, equals);
    for (char c : rowText) {
        if (c < '0' || c > '9') throw CUsageError("--set : ligne « " + rowText + " » invalide");
    }
    int row = rowText.size() > 2 ? 99 : std::stoi(rowText);
    if (row > 59) throw CUsageError("--set : la ligne doit aller de 0 à 59, pas " + rowText);
    GRID_EDIT edit{row, std::nullopt, std::nullopt};
    std::string value = text.substr(equals + 1);
    std::size_t colon = value.find(':');
    std::string nodes = value.substr(0, colon);
    if (!nodes.empty()) edit.nodes = nodes;
    if (colon != std::string::npos) edit.correction = value.substr(colon + 1);
    if (!edit.nodes && !edit.correction) throw CUsageError("--set « " + text + " » ne change rien");
    return edit;
}

OPTIONS ParseOptions(int argc, const char* const* argv) {
    OPTIONS o;
    if (argc < 2) throw CUsageError("commande manquante (build, grid ou convert)");
    o.command = argv[1];
    if (o.command == "--help" || o.command == "-h") return o;
    if (o.command != "build" && o.command != "grid" && o.command != "convert") {
        throw CUsageError("commande inconnue « " + o.command + " » (build, grid ou convert)");
    }
    for (int i = 2; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) throw CUsageError(arg + " attend une valeur");
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
            o.edits.push_back(ParseEdit(value()));
        } else if (arg == "--save-con" && o.command == "grid") {
            o.saveCon = value();
        } else if (arg == "-o" && o.command == "build") {
            o.output = value();
        } else if (arg == "--out-dir" && o.command == "build") {
            o.outDir = value();
        } else if (arg == "--convert-biped" && o.command == "build") {
            o.convertBiped = true;
        } else if (arg == "--line-ends" && o.command != "grid") {
            std::string kind = value();
            if (kind == "lf" || kind == "crlf") {
                o.lfLineEnds = kind == "lf";
            } else {
                throw CUsageError("--line-ends attend lf ou crlf, pas « " + kind + " »");
            }
        } else if (!arg.empty() && arg[0] == '-') {
            throw CUsageError("option inconnue pour " + o.command + " : « " + arg + " »");
        } else {
            o.animations.push_back(arg);
        }
    }
    if (o.model.empty()) throw CUsageError("--model manque");
    if (o.refAnim.empty()) throw CUsageError("--ref-anim manque");
    if (o.command == "grid" && !o.animations.empty()) {
        throw CUsageError("grid ne prend pas d'animation : « " + o.animations[0] + " »");
    }
    if (o.command != "grid" && o.animations.empty()) throw CUsageError("aucune animation donnée");
    if (!o.output.empty() && !o.outDir.empty()) throw CUsageError("-o et --out-dir s'excluent");
    if (!o.output.empty() && o.animations.size() > 1) {
        throw CUsageError("-o ne vaut que pour une seule animation : utilisez --out-dir");
    }
    return o;
}

bool Succeeded(const CVarnexDlg& dlg) {
    return dlg.LastResult() == CVarnexDlg::COMMAND_RESULT::DONE;
}

void PrintGrid(const CVarnexDlg& dlg, std::ostream& out) {
    auto nameOf = [](const std::vector<FRAME_LINE>& nodes, int n) -> std::string {
        if (n < 0 || static_cast<std::size_t>(n) >= nodes.size()) return "-";
        return NodeNameOf(nodes[static_cast<std::size_t>(n)].text);
    };
    out << std::left << std::setw(5) << "row" << std::setw(8) << "NODES" << std::setw(12)
        << "Correction" << std::setw(12) << "scale" << std::setw(24) << "model node"
        << "ref-anim node\n";
    for (int r = 0; r < NODE_ROWS; ++r) {
        std::size_t entry = static_cast<std::size_t>(r) + 1;
        std::string scale = r < dlg.m_nodeCount ? DecimalText(dlg.m_boneScale[r]) : "-";
        std::string refName = "-";
        if (r < dlg.m_nodeCount) {
            int n = SourceLineOf(r, TextToInt(dlg.m_nodeText[entry]));
            refName = n == REST_LINE ? "(repos du modèle)" : nameOf(dlg.m_refAnimNodes, n);
        }
        out << std::setw(5) << r << std::setw(8) << dlg.m_nodeText[entry] << std::setw(12)
            << dlg.m_correctionText[entry] << std::setw(12) << scale << std::setw(24)
            << (r < dlg.m_nodeCount ? nameOf(dlg.m_refModelNodes, r) : "-") << refName << '\n';
    }
}

int Run(const OPTIONS& o, std::ostream& out, std::ostream& err) {
    CCliPlatform platform(err);
    CVarnexDlg dlg(platform);
    dlg.OnInitDialog();
    if (o.lfLineEnds) g_lineBreak.assign(1, '\n');

    platform.AnswerNextDialog(o.model);
    dlg.OnLoadRefModel();
    if (!Succeeded(dlg)) return EXIT_REFUSED;
    platform.AnswerNextDialog(o.refAnim);
    dlg.OnLoadRefAnim();
    if (!Succeeded(dlg)) return EXIT_REFUSED;
    if (!o.con.empty()) {
        platform.AnswerNextDialog(o.con);
        dlg.OnLoadCon();
        if (!Succeeded(dlg)) return EXIT_REFUSED;
    }
    for (const GRID_EDIT& edit : o.edits) platform.TypeIntoRow(edit.row, edit.nodes, edit.correction);

    if (o.command == "grid") {
        dlg.UpdateData(1);
        PrintGrid(dlg, out);
        if (!o.saveCon.empty()) {
            platform.AnswerNextDialog(o.saveCon);
            dlg.OnSaveCon();
            if (!Succeeded(dlg)) return EXIT_REFUSED;
            out << "écrit : " << o.saveCon << '\n';
        }
        return 0;
    }

    if (!o.outDir.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(PathFromUtf8(o.outDir), ec);
        if (ec) {
            err << "varnex-cli: " << o.outDir << " : impossible de créer le dossier : "
                << ec.message() << '\n';
            return EXIT_REFUSED;
        }
    }
    int status = 0;
    for (const std::string& animation : o.animations) {
        platform.AnswerNextDialog(animation);
        dlg.OnLoadAnim();
        if (!Succeeded(dlg)) {
            status = EXIT_REFUSED;
            continue;
        }
        if (o.command == "convert" || o.convertBiped) {
            dlg.OnConvertBiped();
            if (!Succeeded(dlg)) {
                status = EXIT_REFUSED;
                continue;
            }
            out << "écrit : " << dlg.m_animPath << '\n';
        }
        if (o.command == "convert") continue;
        std::string target = o.output;
        if (target.empty()) {
            target = o.outDir.empty() ? std::string("./") : o.outDir;
            if (target.back() != '/' && target.back() != '\\') target += '/';
        }
        platform.AnswerNextDialog(target);
        dlg.OnBuildSmd();
        if (!Succeeded(dlg)) {
            status = EXIT_REFUSED;
            continue;
        }
        out << "écrit : " << dlg.m_outputPath << '\n';
    }
    return status;
}
}  // namespace

int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    OPTIONS options;
    try {
        options = ParseOptions(argc, argv);
    } catch (const CUsageError& e) {
        err << "varnex-cli: " << e.Text() << "\n(varnex-cli --help pour l'aide)\n";
        return EXIT_USAGE;
    }
    if (options.command == "--help") {
        out << HELP_TEXT;
        return 0;
    }
    return Run(options, out, err);
}
