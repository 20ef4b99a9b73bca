// Parse speed of MarkupDocument against pugixml: a generated 10 MB document and the shipped config.xml.
#include "markup/MarkupDocument.h"

#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <fstream>
#include <iterator>
#include <string>

namespace {

// A layout-like document: pages of keys with several attributes, comments, text and entities.
const std::string& Generated() {
    static const std::string text = [] {
        std::string t = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<layout name=\"generated\">\r\n";
        for (int page = 0; t.size() < 10 * 1000 * 1000; ++page) {
            t += "<!-- page " + std::to_string(page) + " -->\r\n<page id=\"" + std::to_string(page) +
                 "\">\r\n";
            for (int key = 0; key < 100; ++key) {
                t += "<key index=\"" + std::to_string(key) + "\" x=\"" + std::to_string(key * 19 % 1280) +
                     "\" y=\"" + std::to_string(key * 7 % 720) + "\" w=\"54\" h=\"54\" code=\"0x" +
                     std::to_string(key % 90 + 10) + "\" label=\"Key &amp; " + std::to_string(key) +
                     "\"/>\r\n";
            }
            t += "<note>Page text &lt;" + std::to_string(page) + "&gt;</note>\r\n</page>\r\n";
        }
        t += "</layout>\r\n";
        return t;
    }();
    return text;
}

// The shipped catalogue when it exists, else a sample of the same shape.
const std::string& Config() {
    static const std::string text = [] {
        std::ifstream in(std::string(MOLVANE_SOURCE_DIR) + "/data/config.xml", std::ios::binary);
        std::string t{std::istreambuf_iterator<char>(in), {}};
        if (!t.empty()) return t;
        return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<config>\r\n<device.info>\r\n"
                           "<keyboard name=\"Keyboard\" device_type=\"201\">\r\n"
                           "<mode value=\"0\" vid=\"0x2F5A\" pid=\"0x7101\" product_name=\"Keyboard\" "
                           "hid_interface=\"&amp;MI_02\"/>\r\n"
                           "<mode value=\"1\" vid=\"0x2F5A\" pid=\"0x7102\" product_name=\"Keyboard 2.4G\" "
                           "hid_interface=\"&amp;MI_02\"/>\r\n"
                           "<mode value=\"2\" vid=\"0x2F5A\" pid=\"0x7103\" product_name=\"Keyboard BT\" "
                           "hid_interface=\"&amp;MI_00\"/>\r\n"
                           "</keyboard>\r\n</device.info>\r\n<software name=\"Molvane\" "
                           "version=\"1.0.0\"/>\r\n</config>\r\n");
    }();
    return text;
}

void ParseMarkup(benchmark::State& state, const std::string& text) {
    for (auto _ : state) {
        MarkupDocument doc;
        const bool ok = doc.SetDocument(text);
        benchmark::DoNotOptimize(ok);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void ParsePugixml(benchmark::State& state, const std::string& text) {
    for (auto _ : state) {
        pugi::xml_document doc;
        const pugi::xml_parse_result result = doc.load_buffer(text.data(), text.size());
        benchmark::DoNotOptimize(result.status);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

// Parse plus the reads the catalogue loader makes: every element and every attribute it knows.
void ReadConfigMarkup(benchmark::State& state) {
    const char* names[] = {"name",         "device_type",   "value",   "vid", "pid",
                           "product_name", "hid_interface", "version", "url"};
    for (auto _ : state) {
        MarkupDocument doc;
        doc.SetDocument(Config());
        size_t total = 0;
        int depth = 0;
        while (true) {
            if (doc.FindElement("")) {
                for (const char* n : names)
                    total += doc.GetAttribute(n).size();
                doc.IntoElement();
                ++depth;
            } else if (depth-- > 0) {
                doc.OutOfElement();
            } else {
                break;
            }
        }
        benchmark::DoNotOptimize(total);
    }
}

void ReadConfigPugixml(benchmark::State& state) {
    const char* names[] = {"name",         "device_type",   "value",   "vid", "pid",
                           "product_name", "hid_interface", "version", "url"};
    for (auto _ : state) {
        pugi::xml_document doc;
        doc.load_buffer(Config().data(), Config().size());
        size_t total = 0;
        for (pugi::xml_node n = doc.first_child(); n;) {
            for (const char* a : names)
                total += std::string(n.attribute(a).value()).size();
            if (n.first_child()) {
                n = n.first_child();
                continue;
            }
            while (n && !n.next_sibling())
                n = n.parent();
            if (n) n = n.next_sibling();
        }
        benchmark::DoNotOptimize(total);
    }
}

void LoadConfigFileMarkup(benchmark::State& state) {
    const std::string path = std::string(MOLVANE_SOURCE_DIR) + "/data/config.xml";
    for (auto _ : state) {
        MarkupDocument doc;
        const bool ok = doc.LoadFile(path);
        benchmark::DoNotOptimize(ok);
    }
}

// Writing an exchange file element by element, as the profile export does.
void BuildDocumentMarkup(benchmark::State& state) {
    for (auto _ : state) {
        MarkupDocument doc;
        doc.SetDocument("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n");
        doc.AddElement("profiles");
        doc.IntoElement();
        for (int p = 0; p < state.range(0) / 100; ++p) {
            doc.AddElement("profile");
            doc.SetAttribute("name", "Profile " + std::to_string(p));
            doc.IntoElement();
            for (int k = 0; k < 99; ++k) {
                doc.AddElement("key");
                doc.SetAttribute("code", std::to_string(k));
                doc.SetAttribute("func", "0x" + std::to_string(k * 3));
            }
            doc.OutOfElement();
        }
        benchmark::DoNotOptimize(doc.GetDocument().size());
    }
    state.SetComplexityN(state.range(0));
}

BENCHMARK(BuildDocumentMarkup)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK_CAPTURE(ParseMarkup, generated_10MB, Generated())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ParsePugixml, generated_10MB, Generated())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ParseMarkup, config_xml, Config())->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(ParsePugixml, config_xml, Config())->Unit(benchmark::kMicrosecond);
BENCHMARK(ReadConfigMarkup)->Unit(benchmark::kMicrosecond);
BENCHMARK(ReadConfigPugixml)->Unit(benchmark::kMicrosecond);
BENCHMARK(LoadConfigFileMarkup)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
