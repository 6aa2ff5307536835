// Throughput of reading and writing rich text: a note of about a megabyte,
// paragraphs of mixed formats, accented and non-Latin characters.
#include "ui/RtfReader.h"
#include "ui/RtfWriter.h"

#include <benchmark/benchmark.h>

namespace {

CRtfDocument MakeDocument(int paragraphs)
{
    CHARFORMAT plain = CRtfDocument::PlainCharFormat();
    CRtfDocument::SetFaceName(plain, "Times New Roman");
    CHARFORMAT bold = plain;
    bold.dwEffects |= CFE_BOLD;
    CHARFORMAT red = plain;
    red.dwEffects &= ~DWORD(CFE_AUTOCOLOR);
    red.crTextColor = RGB(255, 0, 0);
    CRtfDocument::SetFaceName(red, "Arial");
    CRtfDocument doc;
    PARAFORMAT pf = CRtfDocument::PlainParaFormat();
    for (int i = 0; i < paragraphs; ++i) {
        doc.AppendText("Measured values of the caf\xC3\xA9 sample at ", plain);
        doc.AppendText("37 \xC2\xB0" "C", bold);
        doc.AppendText(" gave \xCE\xB1 = 0.25\tand \xCE\xB2 = 1.5 {see table}", red);
        doc.AppendText(" with the weights of the second fit.", plain);
        pf.wAlignment = WORD(i % 3 == 0 ? PFA_CENTER : PFA_LEFT);
        doc.EndParagraph(pf, plain);
    }
    return doc;
}

void BM_RtfWrite(benchmark::State& state)
{
    CRtfDocument doc = MakeDocument(int(state.range(0)));
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::string rtf = CRtfWriter::Write(doc);
        bytes = rtf.size();
        benchmark::DoNotOptimize(rtf.data());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bytes));
}

void BM_RtfRead(benchmark::State& state)
{
    std::string rtf = CRtfWriter::Write(MakeDocument(int(state.range(0))));
    for (auto _ : state) {
        CRtfDocument doc;
        CRtfReader::Read(rtf, doc);
        benchmark::DoNotOptimize(doc.paragraphs.data());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(rtf.size()));
}

} // namespace

BENCHMARK(BM_RtfWrite)->Arg(8000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RtfRead)->Arg(8000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
