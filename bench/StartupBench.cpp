// Start-up with a large workspace: the program started on a workspace of
// one table of 1,000,000 rows x 4 numeric columns, until its main window
// has painted for the first time (MARLOX_QUIT_AFTER_FIRST_PAINT), against a
// bare Qt main window that reads the same file's bytes and then paints
// (bench_bare_window), and against the bare window reading only the 32 MB
// the numbers take as plain doubles. All run on Qt's offscreen platform, in
// processes of their own, started alternately in the same iterations; the
// time is from the start of the process to its "painted" line. Reports the
// mean times and their ratios ("ratio", "ratio_plain"), and the ratios of
// the median times ("ratio_median", "ratio_plain_median").
#include "bench/BenchTable.h"

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <numeric>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

fs::path BenchFolder()
{
    static const fs::path folder = [] {
        fs::path dir = fs::temp_directory_path() / ("marlox-startup-bench-" + std::to_string(::getpid()));
        fs::create_directories(dir / "config");
        fs::create_directories(dir / "prompts");
        return dir;
    }();
    return folder;
}

// The workspace, written once.
const std::string& WorkspacePath()
{
    static const std::string path = [] {
        const std::string file = (BenchFolder() / "table.mxf").string();
        CMXDoc doc;
        bench_table::FillTable(doc);
        return doc.OnSaveDocument(file) ? file : std::string();
    }();
    return path;
}

// The table's numbers alone as plain doubles (32 MB), for the bare window
// that reads only what the numbers take.
const std::string& PlainPath()
{
    static const std::string path = [] {
        const std::string file = (BenchFolder() / "plain.bin").string();
        const auto columns = bench_table::PlainColumns();
        std::FILE* out = std::fopen(file.c_str(), "wb");
        if (!out)
            return std::string();
        bool written = true;
        for (const auto& column : columns)
            written &= std::fwrite(column.data(), sizeof(double), column.size(), out) == column.size();
        written &= std::fclose(out) == 0;
        return written ? file : std::string();
    }();
    return path;
}

// Seconds from starting program to its "painted" line; negative when it
// did not get there within a minute.
double SecondsToPaint(const QString& program, const QStringList& arguments)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("MARLOX_QUIT_AFTER_FIRST_PAINT", "1");
    // A channel, settings and prompt answers of its own: no other copy of
    // the program takes the file over, and no setting of the user's is read.
    env.insert("MARLOX_INSTANCE_NAME", QString("marlox-startup-bench-%1").arg(::getpid()));
    env.insert("MARLOX_CONFIG_DIR", QString::fromStdString((BenchFolder() / "config").string()));
    env.insert("MARLOX_PROMPT_DIR", QString::fromStdString((BenchFolder() / "prompts").string()));
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const auto start = std::chrono::steady_clock::now();
    process.start(program, arguments);
    QByteArray output;
    double seconds = -1;
    const auto limit = start + std::chrono::minutes(1);
    while (std::chrono::steady_clock::now() < limit && process.state() != QProcess::NotRunning) {
        if (!process.waitForReadyRead(1000))
            continue;
        output += process.readAllStandardOutput();
        if (output.contains("painted\n")) {
            seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            break;
        }
    }
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
    }
    return seconds;
}

void BM_StartupVsBareWindow(benchmark::State& state)
{
    const std::string& path = WorkspacePath();
    if (path.empty()) {
        state.SkipWithError("the workspace could not be written");
        return;
    }
    const std::string& plainPath = PlainPath();
    if (plainPath.empty()) {
        state.SkipWithError("the plain file could not be written");
        return;
    }
    const QStringList arguments{QString::fromStdString(path)};
    const QStringList plainArguments{QString::fromStdString(plainPath)};
    std::vector<double> program, bare, barePlain;
    for (auto _ : state) {
        const double b = SecondsToPaint(MARLOX_BARE_WINDOW, arguments);
        const double p = SecondsToPaint(MARLOX_PROGRAM, arguments);
        const double bp = SecondsToPaint(MARLOX_BARE_WINDOW, plainArguments);
        if (b < 0 || p < 0 || bp < 0) {
            state.SkipWithError("a program did not paint within a minute");
            return;
        }
        bare.push_back(b);
        program.push_back(p);
        barePlain.push_back(bp);
    }
    auto mean = [](const std::vector<double>& v) { return std::accumulate(v.begin(), v.end(), 0.0) / double(v.size()); };
    // A start now and then takes far longer on a shared machine: the medians
    // show the usual start beside the means.
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    state.counters["program_s"] = mean(program);
    state.counters["bare_s"] = mean(bare);
    state.counters["bare_plain_s"] = mean(barePlain);
    state.counters["file_mb"] = double(fs::file_size(path)) / 1e6;
    state.counters["plain_mb"] = double(fs::file_size(plainPath)) / 1e6;
    // Against the bare window reading the workspace file, and reading the
    // numbers' 32 MB alone.
    state.counters["ratio"] = mean(program) / mean(bare);
    state.counters["ratio_plain"] = mean(program) / mean(barePlain);
    state.counters["ratio_median"] = median(program) / median(bare);
    state.counters["ratio_plain_median"] = median(program) / median(barePlain);
}

} // namespace

BENCHMARK(BM_StartupVsBareWindow)->Unit(benchmark::kMillisecond)->Iterations(9)->UseRealTime();

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    fs::remove_all(BenchFolder(), ec);
    return 0;
}
