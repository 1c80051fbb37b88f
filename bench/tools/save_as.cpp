// Opens an archive and writes it whole to another path, as the editor's Save As does; for the
// save benchmark (saves_vs_cp.py), which times it against cp + sync.
//
//   save_as IN OUT
#include "archive/CBIGFile.h"
#include "base/IPrompt.h"

#include <cstdio>
#include <string>

namespace {

class RefusingPrompt : public kestrel::IPrompt
{
public:
    void ShowMessage(const std::string& text, const std::string&) override { std::fprintf(stderr, "%s\n", text.c_str()); }
    bool AskYesNo(const std::string&, const std::string&) override { return false; }
};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: save_as IN OUT\n");
        return 2;
    }
    RefusingPrompt prompt;
    kestrel::CBIGFile archive(prompt);
    if (!archive.Open(argv[1]) || !archive.SaveAs(argv[2])) {
        std::fprintf(stderr, "%s\n", archive.LastError().c_str());
        return 1;
    }
    return 0;
}
