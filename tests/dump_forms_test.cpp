// The one table of dump forms: each example is a record of its own form that
// no form tried before it claims, and every list of the forms in the
// documents (man page, README, web page, package description) names them all.
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <sstream>
#include <string>

#include "replay/forms/forms.h"

namespace {

const std::string source_dir = X86IDENT_SOURCE_DIR;

std::string replaced(std::string text, const std::string &from, const std::string &to)
{
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

TEST(DumpForms, EachExampleIsALeaf1RecordOfItsOwnForm)
{
    const RecordedLeaf expected{1, 0x633, 0, 0, 0x80fbff};
    for (const DumpForm &form : dump_forms) {
        const std::string line = replaced(form.example, "<TAB>", "\t");
        EXPECT_EQ(line_start(line.data(), line.data() + line.size()), form.lines) << form.name;
        for (const DumpForm &tried : dump_forms) {
            if (tried.lines != form.lines)
                continue; // the reading loop never tries it on such a line
            RecordedLeaf leaf{};
            std::string problem;
            LineState state;
            const LineKind kind = tried.read_line(Cursor{line.data(), line.data() + line.size()}, leaf, problem, state);
            if (&tried == &form) {
                EXPECT_EQ(kind, LineKind::record) << form.name << ": " << problem;
                EXPECT_TRUE(leaf.leaf == expected.leaf && leaf.eax == expected.eax && leaf.ebx == expected.ebx &&
                            leaf.ecx == expected.ecx && leaf.edx == expected.edx)
                    << form.name;
                break;
            }
            EXPECT_EQ(kind, LineKind::other) << tried.name << " claims the example of " << form.name;
        }
    }
}

// The text of a document as a reader sees it: roff's font changes and escapes,
// HTML's tags and entities and Markdown's backticks gone, every run of blanks
// and line ends one blank.
std::string plain(std::string text, bool html)
{
    for (const char *font : {"\\fB", "\\fR", "\\fI", "\\fP", "\\(bu"})
        text = replaced(text, font, "");
    text = replaced(replaced(text, "\\-", "-"), "`", "");
    if (html) {
        std::string untagged;
        bool in_tag = false;
        for (char c : text) {
            if (c == '<' || c == '>')
                in_tag = c == '<';
            else if (!in_tag)
                untagged += c;
        }
        text = replaced(replaced(replaced(untagged, "&gt;", ">"), "&lt;", "<"), "&amp;", "&");
    }
    std::string folded;
    for (char c : text) {
        const bool blank = c == ' ' || c == '\t' || c == '\n' || c == '\r';
        if (!blank)
            folded += c;
        else if (!folded.empty() && folded.back() != ' ')
            folded += ' ';
    }
    return folded;
}

// `name` as a name of its own: not the end of a longer word ("kcpuid -r" does
// not name "cpuid -r").
bool names(const std::string &text, const std::string &name)
{
    for (std::size_t at = text.find(name); at != std::string::npos; at = text.find(name, at + 1)) {
        const char before = at == 0 ? ' ' : text[at - 1];
        if (!std::isalnum(static_cast<unsigned char>(before)) && before != '-' && before != '_')
            return true;
    }
    return false;
}

TEST(DumpForms, EveryListOfTheFormsNamesThemAll)
{
    // Where each list stands in its file: between two texts of it.
    const struct {
        const char *file, *from, *to;
        bool examples; // the man page gives each form's example record too
    } lists[] = {
        {"doc/x86ident-replay.1.in", "Lines of these forms are records", "Where a form names sub-leaves", true},
        {"README.md", "reads, line by line", "x86ident-replay --help", false},
        {"web/index.html", "<p>Paste a dump", "</p>", false},
        {"cmake/debian_package.cmake", "x86ident-replay prints the same report", "\")", false},
    };
    for (const auto &list : lists) {
        std::ifstream file(source_dir + "/" + list.file, std::ios::binary);
        std::stringstream whole;
        whole << file.rdbuf();
        const std::string text = whole.str();
        const std::size_t from = text.find(list.from), to = text.find(list.to, from);
        ASSERT_NE(from, std::string::npos) << list.file << " has no \"" << list.from << "\"";
        ASSERT_NE(to, std::string::npos) << list.file << " has no \"" << list.to << "\" after its list";
        const std::string region = plain(text.substr(from, to - from), std::string(list.file).find(".html") != std::string::npos);
        for (const DumpForm &form : dump_forms) {
            EXPECT_TRUE(names(region, form.name)) << list.file << " does not name " << form.name;
            if (list.examples) {
                EXPECT_NE(region.find(plain(form.example, false)), std::string::npos)
                    << list.file << " has no example of " << form.name << ": " << form.example;
            }
        }
    }
}

} // namespace
