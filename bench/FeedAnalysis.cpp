// Times the analysis of a fetched feed end to end (the parse, then the
// channel, the items and every item's description markup) beside a bare
// libxml2 parse of the same bytes, the floor no analysis can go below.
//
//   bench_FeedAnalysis [batches]    (default 15; build with -DCMAKE_BUILD_TYPE=Release)

#include <Noctavi/HTTP/Parser.h>
#include <Noctavi/IS/AnalyzeRSSFeed.h>

#include <benchmark/benchmark.h>
#include <libxml/parser.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;
using Clock = std::chrono::steady_clock;

// A feed as machines write it: each description is escaped markup whose
// first link is the document's thumbnail.
Bytes Feed(int items)
{
    std::string feed = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\"><channel>"
                       "<title>Office MFP: Ann</title><link>http://192.0.2.7/noctavi.htm</link>"
                       "<lastBuildDate>Tue, 09 Dec 2008 10:15:30 +0900</lastBuildDate>";
    for (int i = 0; i < items; ++i) {
        const std::string id = "doc-" + std::to_string(i);
        const std::string thumbnail = "http://192.0.2.7/thumbnail.htm?DC=" + id;
        feed += "<item><title>Scan " + id + "</title><description>&lt;p&gt;Scanned to box 3 by Ann&lt;/p&gt;"
                "&lt;a href=&quot;" + thumbnail + "&quot;&gt;&lt;img src=&quot;" + thumbnail +
                "&quot; alt=&quot;thumbnail&quot;/&gt;&lt;/a&gt;</description><category>Scan to Box</category>"
                "<guid>" + id + "</guid><pubDate>Tue, 09 Dec 2008 10:15:30 +0900</pubDate></item>";
    }
    feed += "</channel></rss>\n";
    return Bytes(feed.begin(), feed.end());
}

// Runs are batched so that a batch lasts long enough for the clock.
template <class Run>
int RunsPerBatch(Run run)
{
    for (int perBatch = 1;; perBatch *= 2) {
        const Clock::time_point start = Clock::now();
        for (int i = 0; i < perBatch; ++i)
            run();
        if (Clock::now() - start > std::chrono::milliseconds(20))
            return perBatch;
    }
}

template <class Run>
double BatchMicroseconds(Run run, int perBatch)
{
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < perBatch; ++i)
        run();
    const std::chrono::duration<double, std::micro> took = Clock::now() - start;
    return took.count() / perBatch;
}

double Median(std::vector<double> values)
{
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

struct Times {
    double floor;
    double analysed;
    double ratio; // the median of the ratios of neighbouring batches
};

// Batches of the floor and of the analysis alternate, so that a change in the
// load of a shared machine touches both alike.
template <class Floor, class Analysis>
Times MedianMicroseconds(Floor floor, Analysis analysis, int batches)
{
    const int floorRuns = RunsPerBatch(floor);
    const int analysisRuns = RunsPerBatch(analysis);
    std::vector<double> floors;
    std::vector<double> analyses;
    std::vector<double> ratios;
    for (int batch = 0; batch < batches; ++batch) {
        floors.push_back(BatchMicroseconds(floor, floorRuns));
        analyses.push_back(BatchMicroseconds(analysis, analysisRuns));
        ratios.push_back(analyses.back() / floors.back());
    }
    return Times{Median(floors), Median(analyses), Median(ratios)};
}

void BareParse(const Bytes& bytes)
{
    xmlDoc* document = xmlReadMemory(reinterpret_cast<const char*>(bytes.data()), static_cast<int>(bytes.size()),
                                     nullptr, nullptr, XML_PARSE_NONET | XML_PARSE_NOCDATA);
    if (!document)
        throw std::runtime_error("the feed does not parse");
    benchmark::DoNotOptimize(document);
    xmlFreeDoc(document);
}

std::size_t Analyze(const Bytes& bytes)
{
    HTTP::XML::Parser parser;
    if (!parser.Parse(bytes))
        throw std::runtime_error("the feed does not parse");
    return IS::AnalyzeRSSFeed()(parser)->GetItemList().size();
}

} // namespace

int main(int argc, char** argv)
{
    const int batches = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    xmlInitParser();
    std::printf("%6s %10s %16s %14s %7s\n", "items", "bytes", "libxml2 parse", "analysed", "ratio");
    for (const int items : {50, 1000}) {
        const Bytes feed = Feed(items);
        if (Analyze(feed) != static_cast<std::size_t>(items))
            throw std::runtime_error("items lost");
        const Times times =
            MedianMicroseconds([&] { BareParse(feed); }, [&] { benchmark::DoNotOptimize(Analyze(feed)); }, batches);
        std::printf("%6d %10zu %13.1f us %11.1f us %6.1fx\n", items, feed.size(), times.floor, times.analysed,
                    times.ratio);
    }
    return 0;
}
