// The one table of dump forms: each example is a record of its own form that
// no form tried before it claims, and the README's list names them all.
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "replay/dump_parser.h"
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
    for (std::size_t i = 0; i < std::size(dump_forms); ++i) {
        // The lines before a <NL> set the scene: a table's heading.
        std::string lines = replaced(dump_forms[i].example, "<TAB>", "\t") + "<NL>";
        DumpRecord record;
        std::string problem;
        FormState state;
        std::size_t form = 0;
        LineKind kind = LineKind::other;
        for (std::size_t at = 0, end; (end = lines.find("<NL>", at)) != std::string::npos; at = end + 4) {
            ++state.line;
            kind = read_dump_line(lines.data() + at, lines.data() + end, record, problem, state, form);
        }
        EXPECT_EQ(kind, LineKind::record) << dump_forms[i].name << ": " << problem;
        EXPECT_EQ(form, i) << dump_forms[form].name << " claims the example of " << dump_forms[i].name;
        const RecordedLeaf &leaf = record.leaf;
        EXPECT_TRUE(leaf.leaf == 1 && leaf.eax == 0x633 && leaf.ebx == 0 && leaf.ecx == 0 && leaf.edx == 0x80fbff)
            << dump_forms[i].name;
    }
}

// Markdown as a reader sees it: backticks gone, every run of blanks and line
// ends one blank.
std::string plain(const std::string &text)
{
    std::string folded;
    for (char c : text) {
        const bool blank = c == ' ' || c == '\t' || c == '\n' || c == '\r';
        if (c == '`')
            continue;
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

// A file with no record is refused with a message that names every form.
TEST(DumpForms, NoRecordsNamesEveryForm)
{
    std::vector<RecordedLeaf> leaves;
    DumpError error{};
    ASSERT_FALSE(parse_dump("hello\nworld\n", 0, leaves, error));
    EXPECT_EQ(error.message.rfind("no CPUID records: not a dump of x86ident, AIDA64, ", 0), 0u) << error.message;
    for (const DumpForm &form : dump_forms)
        EXPECT_TRUE(names(error.message, form.name)) << form.name;
}

// The README keeps a short list of its own; the man page's, the web page's and
// the package description's are made from the table.
TEST(DumpForms, TheReadmeNamesEveryForm)
{
    std::ifstream file(source_dir + "/README.md", std::ios::binary);
    std::stringstream whole;
    whole << file.rdbuf();
    const std::string text = whole.str();
    const std::size_t from = text.find("reads, line by line"), to = text.find("x86ident-replay --help", from);
    ASSERT_NE(from, std::string::npos);
    ASSERT_NE(to, std::string::npos);
    const std::string list = plain(text.substr(from, to - from));
    for (const DumpForm &form : dump_forms)
        EXPECT_TRUE(names(list, form.name)) << "README.md does not name " << form.name;
}

} // namespace
