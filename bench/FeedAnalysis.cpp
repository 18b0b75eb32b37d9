// Times the analysis of a fetched feed end to end (the parse, then the
// channel, the items and every item's description markup) beside a bare
// libxml2 parse of the same bytes, the floor no analysis can go below.
//
//   bench_FeedAnalysis     (build with -DCMAKE_BUILD_TYPE=Release)

#include <Noctavi/HTTP/Parser.h>
#include <Noctavi/IS/AnalyzeRSSFeed.h>

#include <benchmark/benchmark.h>
#include <libxml/parser.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
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

// The median time of one run, in microseconds: runs are batched so that a
// batch lasts long enough for the clock, and the median batch is taken.
template <class Run>
double MedianMicroseconds(Run run)
{
    int perBatch = 1;
    for (;;) {
        const Clock::time_point start = Clock::now();
        for (int i = 0; i < perBatch; ++i)
            run();
        if (Clock::now() - start > std::chrono::milliseconds(20))
            break;
        perBatch *= 2;
    }
    std::vector<double> batches;
    for (int batch = 0; batch < 15; ++batch) {
        const Clock::time_point start = Clock::now();
        for (int i = 0; i < perBatch; ++i)
            run();
        const std::chrono::duration<double, std::micro> took = Clock::now() - start;
        batches.push_back(took.count() / perBatch);
    }
    std::nth_element(batches.begin(), batches.begin() + batches.size() / 2, batches.end());
    return batches[batches.size() / 2];
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

int main()
{
    xmlInitParser();
    std::printf("%6s %10s %16s %14s %7s\n", "items", "bytes", "libxml2 parse", "analysed", "ratio");
    for (const int items : {50, 1000}) {
        const Bytes feed = Feed(items);
        if (Analyze(feed) != static_cast<std::size_t>(items))
            throw std::runtime_error("items lost");
        const double floor = MedianMicroseconds([&] { BareParse(feed); });
        const double analysed = MedianMicroseconds([&] { benchmark::DoNotOptimize(Analyze(feed)); });
        std::printf("%6d %10zu %13.1f us %11.1f us %6.1fx\n", items, feed.size(), floor, analysed,
                    analysed / floor);
    }
    return 0;
}
