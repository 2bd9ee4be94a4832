// kawauo-texts: turns the game's texts, in Japanese and in English, from
// UTF-8 lists into a header and a source file holding each as a
// winapi::texts::Text of CP932 bytes, so the strings stay readable in the source and
// are exactly the code page's bytes in the program.
//
// Input lines: `kName text...` (name, blanks, the text to the end of the
// line; "\n" in the text is a line feed). Blank lines and lines starting
// with '#' are skipped. Both lists name the same texts; an English text must
// take the same printf arguments and fit, line by line, in the width of the
// Japanese one in the font's cells (a byte of CP932 is one half-width cell),
// so it is drawn at the same place without running into anything.
#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Text {
    std::string name;
    std::string utf8;
};

bool ToCp932(const std::string& utf8, std::string* out) {
    iconv_t cd = iconv_open("CP932", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    std::string in = utf8;
    out->assign(in.size() * 2 + 4, '\0');
    char* src = in.data();
    size_t srcLeft = in.size();
    char* dst = out->data();
    size_t dstLeft = out->size();
    size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    iconv_close(cd);
    if (r == static_cast<size_t>(-1)) return false;
    out->resize(out->size() - dstLeft);
    return true;
}

// Octal escapes never run into a following digit's meaning past 3 digits.
std::string CLiteral(const std::string& bytes) {
    std::string s = "\"";
    for (unsigned char c : bytes) {
        if (c == '"' || c == '\\') {
            s += '\\';
            s += static_cast<char>(c);
        } else if (c == '\n') {
            s += "\\n";
        } else if (c >= 0x20 && c < 0x7F && c != '?') {
            s += static_cast<char>(c);
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\%03o", c);
            s += buf;
        }
    }
    return s + "\"";
}

bool ReadTexts(const char* path, std::vector<Text>* texts) {
    std::ifstream in(path);
    if (!in) {
        std::cerr << path << ": cannot open\n";
        return false;
    }
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.empty() || line[0] == '#') continue;
        size_t nameEnd = line.find_first_of(" \t");
        size_t textStart = line.find_first_not_of(" \t", nameEnd);
        if (nameEnd == std::string::npos || textStart == std::string::npos) {
            std::cerr << path << ":" << number << ": expected a name and a text\n";
            return false;
        }
        Text t{line.substr(0, nameEnd), ""};
        std::string raw = line.substr(textStart);
        for (size_t i = 0; i < raw.size(); ++i) {
            if (raw[i] == '\\' && i + 1 < raw.size() && raw[i + 1] == 'n') {
                t.utf8 += '\n';
                ++i;
            } else {
                t.utf8 += raw[i];
            }
        }
        texts->push_back(t);
    }
    return true;
}

// The printf conversions of a format, in order ("%5d", "%d"); "%%" takes
// no argument and is left out.
std::vector<std::string> Conversions(const std::string& format) {
    std::vector<std::string> found;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') continue;
        if (i + 1 < format.size() && format[i + 1] == '%') {
            ++i;
            continue;
        }
        size_t end = format.find_first_not_of("0123456789-+ #.lh", i + 1);
        if (end == std::string::npos) end = format.size() - 1;
        found.push_back(format.substr(i, end - i + 1));
        i = end;
    }
    return found;
}

// Each line's width in half-width cells, counting a conversion by its own
// text (the two languages share them) and "%%" as the one cell it prints.
std::vector<size_t> LineWidths(const std::string& cp932) {
    std::vector<size_t> widths{0};
    for (size_t i = 0; i < cp932.size(); ++i) {
        if (cp932[i] == '\n') {
            widths.push_back(0);
            continue;
        }
        if (cp932[i] == '%' && i + 1 < cp932.size() && cp932[i + 1] == '%') ++i;
        ++widths.back();
    }
    return widths;
}

// Half-width glyphs only, without the two whose CP932 glyphs differ from
// ASCII (the yen sign and the overline).
bool HalfWidthOnly(const std::string& text) {
    for (unsigned char c : text)
        if (c != '\n' && (c < 0x20 || c > 0x7D || c == '\\')) return false;
    return true;
}

// Empty when `english` may stand in for `japanese`; otherwise why not.
std::string Mismatch(const std::string& japanese, const std::string& english) {
    if (!HalfWidthOnly(english)) return "uses more than the half-width glyphs";
    if (Conversions(japanese) != Conversions(english)) return "takes other printf arguments than the Japanese";
    std::vector<size_t> ja = LineWidths(japanese), en = LineWidths(english);
    if (ja.size() != en.size()) return "has another number of lines than the Japanese";
    for (size_t i = 0; i < ja.size(); ++i)
        if (en[i] > ja[i])
            return "line " + std::to_string(i + 1) + " is " + std::to_string(en[i]) + " cells wide, the Japanese " +
                   std::to_string(ja[i]);
    return "";
}

std::string Shown(std::string utf8) {
    for (size_t p; (p = utf8.find('\n')) != std::string::npos;) utf8.replace(p, 1, "\\n");
    return utf8;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::cerr << "usage: kawauo-texts TEXTS.txt TEXTS.en.txt OUT.h OUT.cpp\n";
        return 2;
    }
    std::vector<Text> japanese, english;
    if (!ReadTexts(argv[1], &japanese) || !ReadTexts(argv[2], &english)) return 1;
    std::map<std::string, std::string> englishByName;
    for (const Text& t : english) englishByName[t.name] = t.utf8;
    if (englishByName.size() != japanese.size()) {
        std::cerr << argv[2] << ": names other texts than " << argv[1] << "\n";
        return 1;
    }
    std::ostringstream header, source;
    header << "// Generated by kawauo-texts from " << argv[1] << " and " << argv[2]
           << ": the texts as CP932 bytes.\n#pragma once\n#include \"winapi/texts.h\"\n\n";
    source << "// Generated by kawauo-texts from " << argv[1] << " and " << argv[2]
           << ".\n#include \"winapi/texts.h\"\n\n";
    for (const Text& t : japanese) {
        auto en = englishByName.find(t.name);
        std::string ja;
        if (en == englishByName.end() || !ToCp932(t.utf8, &ja)) {
            std::cerr << argv[1] << ": " << t.name
                      << (en == englishByName.end() ? " has no English text\n" : " has a character CP932 lacks\n");
            return 1;
        }
        std::string why = Mismatch(ja, en->second);
        if (!why.empty()) {
            std::cerr << argv[2] << ": " << t.name << " " << why << "\n";
            return 1;
        }
        header << "// " << Shown(t.utf8) << "\n// " << Shown(en->second) << "\nextern const winapi::texts::Text "
               << t.name << ";\n";
        source << "extern const winapi::texts::Text " << t.name << "{" << CLiteral(ja) << ", " << CLiteral(en->second)
               << "};\n";
    }
    std::ofstream(argv[3]) << header.str();
    std::ofstream(argv[4]) << source.str();
    return 0;
}
