// varnex-man-page: writes a manual page in roff from a program's --help text, so that the page
// says what --help says in every language and cannot fall behind it; or copies a page written by
// hand, spelling its non-ASCII characters as groff escapes.
//
// Usage:
//   varnex-cli --lang en --help | varnex-man-page help PROGRAM LANGUAGE SOURCE DATE [SEE_ALSO...]
//   varnex-man-page escape < varnex.fr.1
//
// The help text is read by its layout, the same in every translation:
//   - the first line is "PROGRAM: summary" (or "PROGRAM : summary"): the page's NAME;
//   - a run of indented lines that all start with "PROGRAM " is a usage: the SYNOPSIS;
//   - a lone unindented line ending with ":" heads what follows it, and so do the few words
//     before a colon that opens a paragraph ("Exit status: 0 done...");
//   - an indented run whose first line is "  TERM  text" (two spaces or more between them), or
//     "  -OPTION" alone with its text on the deeper-indented lines below, is a list of terms;
//   - any other indented run (an example) is kept line for line; the rest are paragraphs.
// Standard library only. Exit status: 0 written, 1 an input it cannot read as a help text,
// 2 wrong command line.
#include <cctype>
#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct SECTION_NAMES {
    const char* language;
    const char* name;
    const char* synopsis;
    const char* description;
    const char* seeAlso;
};

// The usual section titles of manual pages in each language; English for the others.
constexpr SECTION_NAMES SECTION_NAMES_TABLE[] = {
    {"fr", "NOM", "SYNOPSIS", "DESCRIPTION", "VOIR AUSSI"},
    {"en", "NAME", "SYNOPSIS", "DESCRIPTION", "SEE ALSO"},
};

const SECTION_NAMES& SectionNames(const std::string& language) {
    for (const SECTION_NAMES& names : SECTION_NAMES_TABLE) {
        if (language == names.language) return names;
    }
    return SECTION_NAMES_TABLE[1];
}

// The code point of the UTF-8 sequence at text[i], advancing i past it; U+FFFD for a bad byte.
unsigned NextCodePoint(const std::string& text, std::size_t& i) {
    unsigned char lead = static_cast<unsigned char>(text[i++]);
    int more = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    if (lead >= 0x80 && more == 0) return 0xFFFD;
    unsigned code = more == 0 ? lead : lead & (0x3F >> more);
    for (; more > 0; --more) {
        if (i >= text.size() || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return 0xFFFD;
        code = code << 6 | (static_cast<unsigned char>(text[i++]) & 0x3F);
    }
    return code;
}

// groff's names of the accented letters and quotes of Latin-1, which the manual's index (lexgrog)
// also reads; \[uXXXX] for the other characters.
struct GLYPH_NAME {
    unsigned code;
    const char* name;
};
constexpr GLYPH_NAME GLYPH_NAMES[] = {
    {0xAB, "Fo"},  {0xBB, "Fc"},  {0xC0, "`A"},  {0xC1, "'A"},  {0xC2, "^A"},  {0xC4, ":A"},
    {0xC6, "AE"},  {0xC7, ",C"},  {0xC8, "`E"},  {0xC9, "'E"},  {0xCA, "^E"},  {0xCB, ":E"},
    {0xCE, "^I"},  {0xCF, ":I"},  {0xD4, "^O"},  {0xD6, ":O"},  {0xD9, "`U"},  {0xDB, "^U"},
    {0xDC, ":U"},  {0xE0, "`a"},  {0xE1, "'a"},  {0xE2, "^a"},  {0xE4, ":a"},  {0xE6, "ae"},
    {0xE7, ",c"},  {0xE8, "`e"},  {0xE9, "'e"},  {0xEA, "^e"},  {0xEB, ":e"},  {0xEE, "^i"},
    {0xEF, ":i"},  {0xF4, "^o"},  {0xF6, ":o"},  {0xF9, "`u"},  {0xFB, "^u"},  {0xFC, ":u"},
    {0x152, "OE"}, {0x153, "oe"},
};

// Non-ASCII characters as groff escapes: groff reads its input as Latin-1 unless told otherwise,
// and some bytes of UTF-8 are no valid character there.
std::string EscapeNonAscii(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            out += text[i++];
            continue;
        }
        unsigned code = NextCodePoint(text, i);
        const char* name = nullptr;
        for (const GLYPH_NAME& glyph : GLYPH_NAMES) {
            if (glyph.code == code) name = glyph.name;
        }
        char escape[16];
        if (name) {
            std::snprintf(escape, sizeof escape, "\\[%s]", name);
        } else {
            std::snprintf(escape, sizeof escape, "\\[u%04X]", code);
        }
        out += escape;
    }
    return out;
}

// Text as roff prints it: a backslash stays a backslash, a hyphen is the minus sign that options
// are typed with (and no place to break a line), and a line never starts a request.
std::string Roff(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\') {
            out += "\\e";
        } else if (c == '-') {
            out += "\\-";
        } else {
            out += c;
        }
    }
    out = EscapeNonAscii(out);
    if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out = "\\&" + out;
    return out;
}

std::size_t Indent(const std::string& line) {
    std::size_t n = line.find_first_not_of(' ');
    return n == std::string::npos ? line.size() : n;
}

bool IsBlank(const std::string& line) { return Indent(line) == line.size(); }

std::string Trim(const std::string& text) {
    std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string CollapseSpaces(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == ' ' && !out.empty() && out.back() == ' ') continue;
        out += c;
    }
    return out;
}

// A term of a list: options and the first word in bold, their values in italics; a trailing
// comma stays roman.
std::string Term(const std::string& term) {
    std::istringstream words(term);
    std::string word;
    std::string out;
    bool first = true;
    while (words >> word) {
        std::string comma;
        if (word.size() > 1 && word.back() == ',') {
            comma = ",";
            word.pop_back();
        }
        bool bold = first || word[0] == '-';
        if (!first) out += ' ';
        out += (bold ? "\\fB" : "\\fI") + Roff(word) + "\\fR" + comma;
        first = false;
    }
    return out;
}

// "Exit status: 0 done..." heads its own paragraph: the few words before a colon that opens it
// ("Exit status", "Code de sortie"); empty when the paragraph does not start so.
std::string LeadingTitle(const std::string& paragraph) {
    std::size_t colon = paragraph.find(':');
    if (colon == std::string::npos || colon + 1 == paragraph.size()) return "";
    std::string title = Trim(paragraph.substr(0, colon));
    int words = 1;
    for (char c : title) {
        unsigned char byte = static_cast<unsigned char>(c);
        bool letter = std::isalpha(byte) || byte >= 0x80;  // accented letters are not ASCII
        if (c == ' ') {
            ++words;
        } else if (!letter && c != '\'') {
            return "";
        }
    }
    return words <= 6 ? title : "";
}

struct PAGE {
    std::string name;                  // the NAME line's summary
    std::vector<std::string> usages;   // the SYNOPSIS
    std::vector<std::string> body;     // the DESCRIPTION, in roff
};

// "  TERM  text" or a lone "  -OPTION": the term and its text (empty for a lone option).
bool SplitItem(const std::string& line, std::string& term, std::string& text) {
    if (Indent(line) != 2) return false;
    std::size_t gap = line.find("  ", 2);
    if (gap == std::string::npos) {
        if (line[2] != '-') return false;
        term = Trim(line);
        text.clear();
        return true;
    }
    term = line.substr(2, gap - 2);
    text = Trim(line.substr(gap));
    // A term is one word (a command) or an option with its values.
    return !term.empty() && (term.find(' ') == std::string::npos || term[0] == '-');
}

void AddIndentedRun(const std::vector<std::string>& run, const std::string& program, PAGE& page) {
    bool usage = true;
    for (const std::string& line : run) usage = usage && Trim(line).rfind(program + " ", 0) == 0;
    if (usage) {
        for (const std::string& line : run) page.usages.push_back(CollapseSpaces(Trim(line)));
        return;
    }
    std::string term;
    std::string text;
    if (SplitItem(run[0], term, text)) {
        // Every other line goes on with the text of the term above it: none is dropped.
        std::string nextTerm;
        std::string nextText;
        for (std::size_t i = 0; i < run.size(); ++i) {
            SplitItem(run[i], term, text);
            while (i + 1 < run.size() && !SplitItem(run[i + 1], nextTerm, nextText)) {
                if (!text.empty()) text += ' ';
                text += Trim(run[++i]);
            }
            page.body.push_back(".TP\n" + Term(term) + "\n" + Roff(text));
        }
        return;
    }
    std::string lines = ".PP\n.RS 4\n.nf\n";
    for (const std::string& line : run) lines += Roff(line.substr(2)) + "\n";
    page.body.push_back(lines + ".fi\n.RE");
}

bool ReadHelp(std::istream& in, const std::string& program, PAGE& page) {
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    if (lines.empty() || lines[0].rfind(program, 0) != 0) return false;
    std::string summary = Trim(lines[0].substr(program.size()));
    if (summary.empty() || summary[0] != ':') return false;
    page.name = Trim(summary.substr(1));
    if (!page.name.empty() && page.name.back() == '.') page.name.pop_back();

    std::string paragraph;
    std::string heading;
    auto endParagraph = [&]() {
        if (paragraph.empty()) return;
        std::string title = LeadingTitle(paragraph);
        if (!title.empty()) {
            page.body.push_back(".SS " + Roff(title));
            paragraph = Trim(paragraph.substr(paragraph.find(':') + 1));
        }
        page.body.push_back(".PP\n" + Roff(paragraph));
        paragraph.clear();
    };
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (IsBlank(line)) {
            endParagraph();
        } else if (Indent(line) == 0) {
            bool alone = paragraph.empty() && (i + 1 == lines.size() || IsBlank(lines[i + 1]) ||
                                               Indent(lines[i + 1]) > 0);
            if (alone && line.back() == ':') {
                std::string title = Trim(line.substr(0, line.size() - 1));
                page.body.push_back(".SS " + Roff(title));
            } else {
                if (!paragraph.empty()) paragraph += ' ';
                paragraph += Trim(line);
            }
        } else {
            endParagraph();
            std::vector<std::string> run;
            while (i < lines.size() && !IsBlank(lines[i]) && Indent(lines[i]) > 0) {
                run.push_back(lines[i++]);
            }
            --i;
            AddIndentedRun(run, program, page);
        }
    }
    endParagraph();
    return true;
}

void WritePage(const PAGE& page, const std::vector<std::string>& args, std::ostream& out) {
    const std::string& program = args[0];
    const SECTION_NAMES& names = SectionNames(args[1]);
    std::string title;
    for (char c : program) title += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    out << ".\\\" Written by varnex-man-page from " << program << " --help: edit the help text.\n";
    out << ".TH " << Roff(title) << " 1 \"" << Roff(args[3]) << "\" \"" << Roff(args[2])
        << "\"\n";
    out << ".SH " << names.name << '\n' << Roff(program) << " \\- " << Roff(page.name) << '\n';
    out << ".SH " << names.synopsis << '\n';
    // Usages are not hyphenated: a broken value would read as another.
    out << ".nh\n";
    for (const std::string& usage : page.usages) {
        std::istringstream words(usage);
        std::string prog;
        std::string command;
        words >> prog >> command;
        std::string rest;
        std::getline(words, rest);
        out << "\\fB" << Roff(prog) << ' ' << Roff(command) << "\\fR" << Roff(rest) << "\n.br\n";
    }
    out << ".hy\n";
    out << ".SH " << names.description << '\n';
    // A heading that the usages leave empty is dropped.
    for (std::size_t i = 0; i < page.body.size(); ++i) {
        bool heading = page.body[i].rfind(".SS ", 0) == 0;
        bool empty = i + 1 == page.body.size() || page.body[i + 1].rfind(".SS ", 0) == 0;
        if (heading && empty) continue;
        out << page.body[i] << '\n';
    }
    if (args.size() > 4) {
        out << ".SH " << names.seeAlso << '\n';
        for (std::size_t i = 4; i < args.size(); ++i) {
            std::size_t paren = args[i].find('(');
            if (paren == std::string::npos) paren = args[i].size();
            out << ".BR " << Roff(args[i].substr(0, paren)) << ' ' << args[i].substr(paren)
                << (i + 1 < args.size() ? "," : "") << '\n';
        }
    }
}

int Usage() {
    std::fputs(
        "usage: varnex-man-page help PROGRAM LANGUAGE SOURCE DATE [SEE_ALSO...] < HELP_TEXT\n"
        "       varnex-man-page escape < PAGE\n",
        stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && args[0] == "escape") {
        std::ostringstream text;
        text << std::cin.rdbuf();
        std::cout << EscapeNonAscii(text.str());
        return 0;
    }
    if (args.size() < 5 || args[0] != "help") return Usage();
    args.erase(args.begin());
    PAGE page;
    if (!ReadHelp(std::cin, args[0], page)) {
        std::fprintf(stderr, "varnex-man-page: the input is not the help text of %s\n",
                     args[0].c_str());
        return 1;
    }
    WritePage(page, args, std::cout);
    return std::cout.good() ? 0 : 1;
}
