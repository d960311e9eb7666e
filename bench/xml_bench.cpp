// Loading large documents, file bytes to a navigable index: the engine
// against pugixml and libxml2 on the same bytes. Each load is repeated and
// the median CPU time kept, which holds up on a busy machine better than
// wall time; after the runs a table gives each time and its ratio to pugixml.

#include "common/Numbers.h"
#include "xml/XmlDocument.h"

#include <benchmark/benchmark.h>
#include <libxml/parser.h>
#include <pugixml.hpp>

#include <cstdio>
#include <malloc.h>
#include <map>
#include <string>
#include <vector>

namespace {

using quorlex::XmlDocument;

constexpr size_t kTargetBytes = 4u << 20;
constexpr int kRepetitions = 7;

std::string Number(int64_t n) {
    const std::u16string text = quorlex::FormatInt(n);
    return std::string(text.begin(), text.end());
}

// Many small elements with attributes, like a long list of records.
std::string ManySmallElements() {
    std::string doc = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<records>\n";
    for (int64_t i = 0; doc.size() < kTargetBytes; ++i) {
        doc += "  <record id=\"" + Number(i) + "\" kind=\"rover\"><name>R" + Number(i) +
               "</name><addr>00a1b2c3d4e5</addr><pin>7391</pin><ok/></record>\n";
    }
    return doc + "</records>\n";
}

// Long paragraphs of mixed text with entities and character references.
std::string LongTextWithEntities() {
    std::string doc = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<book>\n";
    const std::string sentence = "The receiver &amp; the rover agree: 3 &lt; 5 &gt; 2, "
                                 "&quot;fixed&quot; &#x4E2D;&#25991; \xE5\x9F\xBA\xE7\xAB\x99 "
                                 "position &#65;&#66;&apos;s quality. ";
    while (doc.size() < kTargetBytes) {
        doc += "<p>";
        for (int s = 0; s < 200; ++s) {
            doc += sentence;
        }
        doc += "</p>\n";
    }
    return doc + "</book>\n";
}

// Chains nested 200 deep (libxml2 refuses more than 256 levels by default).
std::string DeepNesting() {
    constexpr int kDepth = 200;
    std::string doc = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<deep>";
    while (doc.size() < kTargetBytes) {
        for (int d = 0; d < kDepth; ++d) {
            doc += "<level n=\"" + Number(d) + "\">";
        }
        doc += "leaf";
        for (int d = 0; d < kDepth; ++d) {
            doc += "</level>";
        }
    }
    return doc + "</deep>\n";
}

const std::map<std::string, std::string>& Documents() {
    static const std::map<std::string, std::string> documents{
        {"many_small_elements", ManySmallElements()},
        {"long_text_entities", LongTextWithEntities()},
        {"deep_nesting", DeepNesting()},
    };
    return documents;
}

void LoadWithEngine(benchmark::State& state, const std::string& bytes) {
    for (auto _ : state) {
        XmlDocument doc;
        const bool ok = doc.LoadBytes(bytes);
        benchmark::DoNotOptimize(ok);
        if (!ok || !doc.FindElement()) {
            state.SkipWithError("the engine did not load the document");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

void LoadWithPugixml(benchmark::State& state, const std::string& bytes) {
    for (auto _ : state) {
        pugi::xml_document doc;
        const pugi::xml_parse_result result = doc.load_buffer(bytes.data(), bytes.size());
        if (!result) {
            state.SkipWithError("pugixml did not load the document");
            break;
        }
        benchmark::DoNotOptimize(doc.first_child());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

void LoadWithLibxml2(benchmark::State& state, const std::string& bytes) {
    for (auto _ : state) {
        xmlDocPtr doc = xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), nullptr,
                                      nullptr, XML_PARSE_NONET);
        if (doc == nullptr) {
            state.SkipWithError("libxml2 did not load the document");
            break;
        }
        benchmark::DoNotOptimize(doc->children);
        xmlFreeDoc(doc);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

// Prints as usual and keeps each run's time for the closing table.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& reports) override {
        for (const Run& run : reports) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median" &&
                !run.error_occurred) {
                times_[run.run_name.function_name] =
                    run.GetAdjustedCPUTime() * 1e3 /
                    benchmark::GetTimeUnitMultiplier(run.time_unit);
            }
        }
        ConsoleReporter::ReportRuns(reports);
    }

    void PrintRatios() const {
        std::printf("\nmedian CPU time per load\n%-22s %11s %11s %11s %16s %17s\n", "document",
                    "engine ms", "pugixml ms", "libxml2 ms", "engine/pugixml", "libxml2/pugixml");
        for (const auto& [name, bytes] : Documents()) {
            const double engine = Time("load/" + name + "/engine");
            const double pugi = Time("load/" + name + "/pugixml");
            const double libxml = Time("load/" + name + "/libxml2");
            if (engine <= 0 || pugi <= 0 || libxml <= 0) {
                continue;
            }
            std::printf("%-22s %11.2f %11.2f %11.2f %16.2f %17.2f\n", name.c_str(), engine, pugi,
                        libxml, engine / pugi, libxml / pugi);
        }
    }

private:
    double Time(const std::string& name) const {
        const auto it = times_.find(name);
        return it != times_.end() ? it->second : 0.0;
    }

    std::map<std::string, double> times_;
};

} // namespace

int main(int argc, char** argv) {
    // Keep freed memory in the process: otherwise whichever parser runs after
    // a large free pays for fresh pages from the kernel, and the ratios
    // measure the allocator's mood rather than the parsers.
    mallopt(M_MMAP_THRESHOLD, 256 << 20);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    xmlInitParser();
    for (const auto& [name, bytes] : Documents()) {
        const std::string* doc = &bytes;
        benchmark::RegisterBenchmark(("load/" + name + "/engine").c_str(),
                                     [doc](benchmark::State& s) { LoadWithEngine(s, *doc); })
            ->Unit(benchmark::kMillisecond)
            ->Repetitions(kRepetitions)
            ->ReportAggregatesOnly(true);
        benchmark::RegisterBenchmark(("load/" + name + "/pugixml").c_str(),
                                     [doc](benchmark::State& s) { LoadWithPugixml(s, *doc); })
            ->Unit(benchmark::kMillisecond)
            ->Repetitions(kRepetitions)
            ->ReportAggregatesOnly(true);
        benchmark::RegisterBenchmark(("load/" + name + "/libxml2").c_str(),
                                     [doc](benchmark::State& s) { LoadWithLibxml2(s, *doc); })
            ->Unit(benchmark::kMillisecond)
            ->Repetitions(kRepetitions)
            ->ReportAggregatesOnly(true);
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    xmlCleanupParser();
    return 0;
}
