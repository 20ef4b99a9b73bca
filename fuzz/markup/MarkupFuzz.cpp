// Feeds arbitrary bytes to the markup engine as text and as a file, walks what it parsed and edits it.
#include "markup/MarkupDocument.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

void Check(bool condition) {
    if (!condition) __builtin_trap();
}

// Visits every element depth first (bounded, so a huge input cannot stall the run) and reads attributes.
void Walk(MarkupDocument& doc) {
    doc.ResetPosition();
    int steps = 0;
    int depth = 0;
    while (steps++ < 20000) {
        if (doc.FindElement("")) {
            (void)doc.GetAttribute("a");
            (void)doc.GetAttribute("encoding");
            Check(doc.IntoElement());
            ++depth;
        } else if (depth > 0) {
            Check(doc.OutOfElement());
            --depth;
        } else {
            break;
        }
    }
}

// An edited well-formed document must stay well formed and read back what was written.
void EditAndReparse(MarkupDocument& doc) {
    const std::string value = "a&b<\"'>\xC3\xA9";
    doc.ResetPosition();
    Check(doc.FindElement(""));
    const std::string before = doc.GetDocument();
    const bool attributeSet = doc.SetAttribute("fz", value);
    Check(attributeSet ? doc.GetAttribute("fz") == value : doc.GetDocument() == before);
    Check(doc.IntoElement());
    Check(doc.AddElement("n"));
    Check(doc.SetAttribute("k", "v"));
    Check(doc.AddElement("t", "x]]>y", MarkupDocument::WithCData));
    MarkupDocument again;
    Check(again.SetDocument(doc.GetDocument()));
    Check(again.FindElement(""));
    Check(!attributeSet || again.GetAttribute("fz") == value);
    Check(again.IntoElement());
    Check(again.FindElement("n"));
    Check(again.GetAttribute("k") == "v");
    Check(again.FindElement("t"));
}

const std::string& TempPath() {
    static const std::string path = [] {
        char name[] = "/tmp/markup-fuzz-XXXXXX";
        const int fd = mkstemp(name);
        if (fd >= 0) close(fd);
        return std::string(name);
    }();
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    MarkupDocument doc;
    const bool wellFormed = doc.SetDocument(bytes);
    Check(doc.GetDocument() == bytes);
    (void)doc.GetResult();
    Walk(doc);
    if (wellFormed) EditAndReparse(doc);

    FILE* file = std::fopen(TempPath().c_str(), "wb");
    if (!file) return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    MarkupDocument loaded;
    if (loaded.LoadFile(TempPath())) {
        Walk(loaded);
        Check(loaded.SaveFile(TempPath()));
    } else {
        Check(loaded.GetDocument().empty());
        Check(!loaded.FindElement(""));
    }
    return 0;
}
