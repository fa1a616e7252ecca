// bench_scale [--pages 1000,5000,10000] [--routes word,excel] [--repeat N] [--work DIR]
// Converts generated jobs (bitmaps every tenth page) through both routes as a user would, with
// the programs beside this one, and prints for every run the pages, the wall time, the user and
// system CPU time and the peak memory of the conversion, the deflate-only floor of that very
// output (zlib level 6 over its entries, as the package writer deflates them, measured here
// after the run) and the ratio of the wall time to the floor.
#include <fcntl.h>
#include <malloc.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zip.h>
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "bench/job_generator.h"
#include "platform/os/program_folder.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Run {
    int status = -1;
    double wall = 0;
    double user = 0;
    double system = 0;
    double peak_mb = 0;
};

// The program with its arguments, waited for: its own resource use, its children's included.
// A forked child's peak memory starts from what this process holds when it forks (and a
// vforked one's from what it ever held), so this process gives back what it can first.
Run run_program(const fs::path& program, const std::vector<std::string>& arguments,
                const fs::path& log) {
    std::vector<std::string> args{program.string()};
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    malloc_trim(0);
    Run run;
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid < 0) return run;
    if (pid == 0) {
        const int err = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        const int in = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
        if (err < 0 || in < 0 || dup2(err, 2) < 0 || dup2(in, 0) < 0) _exit(127);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid) return run;
    run.wall = std::chrono::duration<double>(Clock::now() - start).count();
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    run.user = seconds(usage.ru_utime);
    run.system = seconds(usage.ru_stime);
    run.peak_mb = static_cast<double>(usage.ru_maxrss) / 1024;
    return run;
}

struct Floor {
    double seconds = 0;
    double raw_mb = 0;
    std::size_t parts = 0;
};

// Deflates every entry of the package as the package writer does (raw deflate, level 6, the
// largest window and hash memory), each with a stream of its own, and times the deflating
// alone; inflating the entries to get at their bytes is not counted.
Floor deflate_floor(const fs::path& package) {
    Floor floor;
    int error = 0;
    zip_t* archive = zip_open(package.c_str(), ZIP_RDONLY, &error);
    if (archive == nullptr) return floor;
    std::vector<char> in(std::size_t{1} << 20);
    std::vector<unsigned char> out(std::size_t{1} << 20);
    const zip_int64_t entries = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < entries; ++i) {
        zip_file_t* file = zip_fopen_index(archive, static_cast<zip_uint64_t>(i), 0);
        if (file == nullptr) continue;
        ++floor.parts;
        z_stream z{};
        deflateInit2(&z, 6, Z_DEFLATED, -MAX_WBITS, 9, Z_DEFAULT_STRATEGY);
        for (;;) {
            const zip_int64_t n = zip_fread(file, in.data(), in.size());
            const int flush = n <= 0 ? Z_FINISH : Z_NO_FLUSH;
            floor.raw_mb += n > 0 ? static_cast<double>(n) / 1e6 : 0;
            const auto start = Clock::now();
            z.next_in = reinterpret_cast<Bytef*>(in.data());
            z.avail_in = n > 0 ? static_cast<uInt>(n) : 0;
            int result = Z_OK;
            do {
                z.next_out = out.data();
                z.avail_out = static_cast<uInt>(out.size());
                result = deflate(&z, flush);
            } while (z.avail_out == 0 || (flush == Z_FINISH && result != Z_STREAM_END));
            floor.seconds += std::chrono::duration<double>(Clock::now() - start).count();
            if (flush == Z_FINISH) break;
        }
        deflateEnd(&z);
        zip_fclose(file);
    }
    zip_discard(archive);
    return floor;
}

std::vector<int> numbers(const std::string& list) {
    std::vector<int> out;
    std::stringstream in(list);
    for (std::string item; std::getline(in, item, ',');) out.push_back(std::atoi(item.c_str()));
    return out;
}

std::vector<std::string> words(const std::string& list) {
    std::vector<std::string> out;
    std::stringstream in(list);
    for (std::string item; std::getline(in, item, ',');) out.push_back(item);
    return out;
}

double load_average() {
    double load = 0;
    if (FILE* f = std::fopen("/proc/loadavg", "r")) {
        if (std::fscanf(f, "%lf", &load) != 1) load = 0;
        std::fclose(f);
    }
    return load;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> page_counts{1000, 5000, 10000};
    std::vector<std::string> routes{"word", "excel"};
    int repeat = 1;
    fs::path work = fs::temp_directory_path() / "bench_scale";
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string_view option = argv[i];
        if (option == "--pages") {
            page_counts = numbers(argv[i + 1]);
        } else if (option == "--routes") {
            routes = words(argv[i + 1]);
        } else if (option == "--repeat") {
            repeat = std::atoi(argv[i + 1]);
        } else if (option == "--work") {
            work = argv[i + 1];
        } else {
            std::cerr << "usage: bench_scale [--pages 1000,5000,10000] [--routes word,excel] "
                         "[--repeat N] [--work DIR]\n";
            return 2;
        }
    }
    const fs::path varnel = os::program_folder() / "varnel";
    std::printf("%-6s %6s %8s %8s %8s %8s %8s %8s %6s %6s\n", "route", "pages", "wall s", "user s",
                "sys s", "peak MB", "floor s", "raw MB", "ratio", "load");
    int failures = 0;
    for (const int pages : page_counts) {
        for (const std::string& route : routes) {
            const bool word = route == "word";
            // The Excel route needs a character size it has a template for.
            const fs::path job = work / (route + std::to_string(pages));
            fs::remove_all(job);
            jobgen::write_job(jobgen::make_job({.pages = pages,
                                                .char_size = word ? 105 : 100,
                                                .line_pitch = 120,
                                                .logo_every = 10}),
                              job);  // the job's bytes are gone before the run
            const fs::path output = job / (word ? "out.docx" : "out.xlsx");
            std::vector<std::string> arguments{"--console", "--job-dir", job.string(), "--output",
                                               output.string()};
            if (word) {
                arguments.push_back("--word");
            } else {
                for (const char* a :
                     {"--excel", "--sheet-pages", "50", "--cell-width", "1", "--lines", "solid"}) {
                    arguments.push_back(a);
                }
            }
            for (int r = 0; r < repeat; ++r) {
                fs::remove(output);
                const double load = load_average();
                const Run run = run_program(varnel, arguments, job / "stderr.log");
                if (run.status != 0) {
                    std::printf("%-6s %6d failed with exit status %d, see %s\n", route.c_str(),
                                pages, run.status, (job / "stderr.log").c_str());
                    ++failures;
                    break;
                }
                const Floor floor = deflate_floor(output);
                std::printf("%-6s %6d %8.2f %8.2f %8.2f %8.0f %8.2f %8.0f %6.2f %6.2f\n",
                            route.c_str(), pages, run.wall, run.user, run.system, run.peak_mb,
                            floor.seconds, floor.raw_mb, run.wall / floor.seconds, load);
                std::fflush(stdout);
            }
            fs::remove_all(job);
        }
    }
    return failures == 0 ? 0 : 1;
}
