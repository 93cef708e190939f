#include "passportcli/Batch.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <optional>
#include <ostream>
#include <set>
#include <thread>

#include "passportcli/BatchReport.h"
#include "passportcli/PhotoSteps.h"
#include "raster/Threads.h"

namespace passportcli {

namespace {

namespace fs = std::filesystem;

constexpr char kProgram[] = "portrik-passport";

// What one worker holds at the most, with a 24 MP photo and every file: measured at 190 MB
// for one job and 370 MB for two, with room to spare.
constexpr double kJobMegabytes = 250;

// The files a photo can get, after its NAME. The first is always written, and first.
constexpr std::array<const char*, 3> kEndings = {".passport.jpg", ".lab.jpg", ".pdf"};

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

bool hasEnding(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// In a folder, photos are known by their endings: a folder also holds notes, thumbnails and
// the like, which are no photos that could not be read.
bool looksLikePhoto(const std::string& fileName) {
    const std::string name = lower(fileName);
    if (name.empty() || name[0] == '.') return false;
    if (hasEnding(name, ".passport.jpg") || hasEnding(name, ".lab.jpg")) return false;  // ours
    for (const char* ending : {".jpg", ".jpeg", ".heic", ".heif", ".png", ".webp", ".tif", ".tiff",
                               ".bmp", ".gif"}) {
        if (hasEnding(name, ending)) return true;
    }
    return false;
}

std::string joinPath(const std::string& folder, const std::string& name) {
    return (fs::path(folder) / name).string();
}

// --- Files written whole, never over another -----------------------------------------------

enum class Written { Yes, Exists, Failed };

bool writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = ENOSPC;
            return false;
        }
        data += n;
        size -= std::size_t(n);
    }
    return true;
}

// Puts `temp` in place as `final` unless `final` exists. A hard link is atomic and never
// replaces; file systems without links (FAT and exFAT cards and sticks) get rename's
// no-replace flag, and failing that a look before the rename.
Written putInPlace(const std::string& temp, const std::string& final, std::string& error) {
    if (::link(temp.c_str(), final.c_str()) == 0) {
        ::unlink(temp.c_str());
        return Written::Yes;
    }
    int problem = errno;
    if (problem != EEXIST) {
        if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, final.c_str(), RENAME_NOREPLACE) == 0)
            return Written::Yes;
        problem = errno;
        if (problem == EINVAL || problem == ENOSYS || problem == EOPNOTSUPP) {
            if (::access(final.c_str(), F_OK) == 0) {
                problem = EEXIST;
            } else if (::rename(temp.c_str(), final.c_str()) == 0) {
                return Written::Yes;
            } else {
                problem = errno;
            }
        }
    }
    ::unlink(temp.c_str());
    if (problem == EEXIST) return Written::Exists;
    error = std::strerror(problem);
    return Written::Failed;
}

// Writes `bytes` as the new file `folder`/`name`: first under a hidden temporary name, every
// count checked and flushed to the disk, then put in place whole.
Written writeNew(const std::string& folder, const std::string& name, const QByteArray& bytes,
                 std::string& error) {
    static std::atomic<unsigned> serial{0};
    std::string temp;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temp = joinPath(folder, "." + name + ".part-" + std::to_string(::getpid()) + "-" +
                                    std::to_string(serial++));
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
        error = std::strerror(errno);
        return Written::Failed;
    }
    bool ok = writeAll(fd, bytes.constData(), std::size_t(bytes.size())) && ::fsync(fd) == 0;
    const int writeProblem = errno;
    ok = (::close(fd) == 0) && ok;
    if (!ok) {
        error = std::strerror(writeProblem ? writeProblem : errno);
        ::unlink(temp.c_str());
        return Written::Failed;
    }
    return putInPlace(temp, joinPath(folder, name), error);
}

// Whether a file can be made in `folder`, tried with a hidden empty file taken away again.
bool canWriteIn(const std::string& folder, std::string& error) {
    const std::string probe =
        joinPath(folder, ".portrik-passport-probe-" + std::to_string(::getpid()));
    const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    ::close(fd);
    ::unlink(probe.c_str());
    return true;
}

// --- Progress ----------------------------------------------------------------------------

std::string duration(double seconds) {
    if (seconds < 60) return std::to_string(std::max(1, int(seconds + 0.5))) + " s";
    if (seconds < 3600) return std::to_string(int(seconds / 60 + 0.5)) + " min";
    const int minutes = int(seconds / 60 + 0.5);
    return std::to_string(minutes / 60) + " h " + std::to_string(minutes % 60) + " min";
}

std::string failedCriteria(const std::vector<passport::CriterionCheck>& checks) {
    std::string names;
    for (const passport::CriterionCheck& c : checks) {
        if (c.verdict == passport::Verdict::Fail)
            names += (names.empty() ? "" : ", ") + passport::criterionName(c.criterion);
    }
    return names;
}

// One line per photo, or on a terminal a bar with what is left, and a line above it for each
// photo that did not pass.
class Progress {
  public:
    Progress(std::ostream& err, bool terminal, std::size_t total)
        : err_(err), terminal_(terminal), total_(total),
          start_(std::chrono::steady_clock::now()) {}

    void photoDone(const PhotoResult& r) {
        ++done_;
        std::string line = "[" + std::to_string(done_) + "/" + std::to_string(total_) + "] ";
        switch (r.outcome) {
            case PhotoOutcome::Passed:
            case PhotoOutcome::CheckFailed:
                line += r.photo + ": " + outcomeText(r.outcome);
                if (r.outcome == PhotoOutcome::CheckFailed) line += " (" + failedCriteria(r.checks) + ")";
                if (!r.files.empty()) line += ", " + r.files.front();
                break;
            default:
                line += r.error;
        }
        if (!terminal_) {
            err_ << line << "\n" << std::flush;
            return;
        }
        if (r.outcome != PhotoOutcome::Passed) err_ << "\r\x1b[K" << line << "\n";
        drawBar();
    }

    // On a terminal: the bar again, with the time left as it now looks.
    void tick() {
        if (terminal_) drawBar();
    }

    void end() {
        if (terminal_) err_ << "\r\x1b[K" << std::flush;
    }

  private:
    void drawBar() {
        constexpr int kWidth = 30;
        const int filled = total_ ? int(kWidth * done_ / total_) : kWidth;
        std::string bar = "[" + std::string(std::size_t(filled), '#') +
                          std::string(std::size_t(kWidth - filled), '.') + "] " +
                          std::to_string(done_) + "/" + std::to_string(total_);
        if (done_ > 0 && done_ < total_) {
            const double elapsed =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
            bar += ", about " + duration(elapsed / double(done_) * double(total_ - done_)) + " left";
        }
        err_ << "\r\x1b[K" << bar << std::flush;
    }

    std::ostream& err_;
    bool terminal_;
    std::size_t total_;
    std::size_t done_ = 0;
    std::chrono::steady_clock::time_point start_;
};

// --- The run -----------------------------------------------------------------------------

PhotoFigures figuresOf(const Framed& framed) {
    PhotoFigures f;
    f.measures = framed.measures;
    f.levelled = passport::levellingNote(framed.face.marks, framed.crop, framed.levelling);
    f.sourceDpi = framed.print.sourceDpi;
    f.sourceWidthPixels = framed.print.sourceWidthPixels;
    f.belowMinimumDpi = framed.print.belowMinimumDpi;
    f.crownFound = framed.face.marks.crownSource == passport::CrownSource::Image;
    f.facesInPhoto = framed.facesInPhoto;
    f.colour = framed.colour;
    f.filled = framed.print.overhang;
    return f;
}

class Run {
  public:
    Run(const Options& options, std::vector<std::string> photos, std::vector<std::string> names,
        ModelSource& models)
        : options_(options), photos_(std::move(photos)), names_(std::move(names)),
          models_(models), results_(photos_.size()) {
        for (const std::string& name : names_) taken_.insert(lower(name));
    }

    // Works through the photos on `jobs` threads until all are done or `interrupted` holds.
    void work(int jobs, const std::atomic<bool>* interrupted, Progress& progress) {
        std::vector<std::thread> workers;
        running_ = std::min<std::size_t>(std::size_t(jobs), photos_.size());
        for (std::size_t w = 0; w < running_; ++w) workers.emplace_back([this, &progress] {
            worker(progress);
        });
        {
            std::unique_lock<std::mutex> lock(mutex_);
            while (running_ > 0) {
                changed_.wait_for(lock, std::chrono::milliseconds(100));
                if (interrupted && interrupted->load() && !stop_.exchange(true)) interrupted_ = true;
                progress.tick();
            }
        }
        for (std::thread& t : workers) t.join();
        progress.end();
    }

    std::vector<PhotoResult> done() const {
        std::vector<PhotoResult> rows;
        for (const auto& r : results_) {
            if (r) rows.push_back(*r);
        }
        return rows;
    }
    bool interrupted() const { return interrupted_; }
    const std::string& modelProblem() const { return modelProblem_; }

  private:
    void worker(Progress& progress) {
        // The workers side by side fill the cores: each photo keeps to its worker's thread.
        const raster::OneThreadPerPhoto oneThread;
        for (;;) {
            const std::size_t i = next_++;
            if (i >= photos_.size() || stop_) break;
            std::optional<PhotoResult> result = photo(i);
            const std::lock_guard<std::mutex> lock(mutex_);
            if (result) {
                progress.photoDone(*result);
                results_[i] = std::move(result);
            }
        }
        const std::lock_guard<std::mutex> lock(mutex_);
        --running_;
        changed_.notify_all();
    }

    // One photo from its file to its files; nullopt when the run stopped before any of them
    // was written (or the model is missing).
    std::optional<PhotoResult> photo(std::size_t i) {
        const auto group = options_.child ? passport::AgeGroup::UpTo10 : passport::AgeGroup::From11;
        const auto levelling = options_.level ? passport::Levelling::On : passport::Levelling::Off;
        Examined examined = examinePhoto(photos_[i], group, levelling, models_, &stop_);
        PhotoResult r;
        r.photo = photos_[i];
        r.error = examined.problem;
        switch (examined.status) {
            case PhotoStatus::Stopped: return std::nullopt;
            case PhotoStatus::NoModel: {
                const std::lock_guard<std::mutex> lock(mutex_);
                if (!stop_.exchange(true)) modelProblem_ = examined.problem;
                return std::nullopt;
            }
            case PhotoStatus::Unreadable: r.outcome = PhotoOutcome::Unreadable; return r;
            case PhotoStatus::NoFace: r.outcome = PhotoOutcome::NoFace; return r;
            case PhotoStatus::SeveralFaces: r.outcome = PhotoOutcome::SeveralFaces; return r;
            case PhotoStatus::Framed: break;
        }
        r.checks = checkFramed(examined);
        r.figures = figuresOf(examined.framed);
        r.outcome = passport::nothingFails(r.checks) ? PhotoOutcome::Passed : PhotoOutcome::CheckFailed;
        // The loaded photo goes now: what is left to do needs only the 600 dpi photo.
        examined.framed.photo = QImage();
        std::array<QByteArray, kEndings.size()> files;
        std::string problem;
        files[0] = photoFileBytes(examined.framed, problem);
        if (!files[0].isEmpty() && options_.batch.labSheets)
            files[1] = labSheetBytes(examined.framed, problem);
        if (problem.empty() && options_.batch.pdfs)
            files[2] = sheetPdfBytes(examined.framed, options_.rows, options_.cutLines, problem);
        if (!problem.empty()) {
            r.outcome = PhotoOutcome::NotWritten;
            r.error = "the files of \"" + photos_[i] + "\" could not be made: " + problem;
            return r;
        }
        // Once writing starts the photo is finished, so that it is done or left out whole.
        if (stop_) return std::nullopt;
        write(i, files, r);
        return r;
    }

    void write(std::size_t i, const std::array<QByteArray, kEndings.size()>& files,
               PhotoResult& r) {
        std::string name = names_[i];
        for (std::size_t k = 0; k < files.size(); ++k) {
            if (files[k].isEmpty()) continue;
            std::string error;
            const std::string file = name + kEndings[k];
            Written written = writeNew(options_.batch.outDir, file, files[k], error);
            if (written == Written::Exists && k == 0) {
                // Another program took the name since the run began: the next free one.
                name = freeName(names_[i]);
                --k;
                continue;
            }
            if (written != Written::Yes) {
                r.outcome = PhotoOutcome::NotWritten;
                r.error = "\"" + joinPath(options_.batch.outDir, file) + "\" could not be written: " +
                          (written == Written::Exists ? "a file of that name appeared meanwhile"
                                                      : error);
                return;
            }
            r.files.push_back(file);
        }
    }

    std::string freeName(const std::string& stem) {
        const std::lock_guard<std::mutex> lock(mutex_);
        for (int n = 2;; ++n) {
            const std::string name = stem + "-" + std::to_string(n);
            if (taken_.count(lower(name))) continue;
            bool onDisk = false;
            for (const char* ending : kEndings) {
                std::error_code ignored;
                onDisk = onDisk || fs::exists(joinPath(options_.batch.outDir, name + ending), ignored);
            }
            if (onDisk) continue;
            taken_.insert(lower(name));
            return name;
        }
    }

    const Options& options_;
    const std::vector<std::string> photos_;
    const std::vector<std::string> names_;
    ModelSource& models_;

    std::atomic<std::size_t> next_{0};
    std::atomic<bool> stop_{false};
    std::mutex mutex_;  // guards what follows, and the progress output
    std::condition_variable changed_;
    std::size_t running_ = 0;
    std::vector<std::optional<PhotoResult>> results_;
    std::set<std::string> taken_;
    bool interrupted_ = false;
    std::string modelProblem_;
};

// Of two results the one that says more: a file not written before a photo that could not
// be done, before a failed check.
int worse(int a, int b) {
    const auto rank = [](int s) {
        return s == kExitNotWritten ? 3 : s == kExitNoPhotoOrFace ? 2 : s == kExitCheckFailed ? 1 : 0;
    };
    return rank(b) > rank(a) ? b : a;
}

int statusOf(PhotoOutcome outcome) {
    switch (outcome) {
        case PhotoOutcome::Passed: return kExitOk;
        case PhotoOutcome::CheckFailed: return kExitCheckFailed;
        case PhotoOutcome::NotWritten: return kExitNotWritten;
        default: return kExitNoPhotoOrFace;
    }
}

std::string summary(const std::vector<PhotoResult>& results) {
    std::array<int, 6> counts{};
    for (const PhotoResult& r : results) ++counts[std::size_t(r.outcome)];
    std::string text;
    for (std::size_t o = 0; o < counts.size(); ++o) {
        if (counts[o] == 0) continue;
        text += (text.empty() ? "" : ", ") + std::to_string(counts[o]) + " " +
                outcomeText(PhotoOutcome(o));
    }
    return text.empty() ? "none done" : text;
}

bool writeReport(const std::string& path, const std::vector<PhotoResult>& results, bool complete,
                 std::string& error) {
    const std::string text =
        hasEnding(lower(path), ".json") ? jsonReport(results, complete) : csvReport(results);
    // The report is the file the user named: it replaces an earlier one, whole.
    const fs::path target(path);
    const std::string folder = target.has_parent_path() ? target.parent_path().string() : ".";
    const std::string temp = joinPath(folder, "." + target.filename().string() + ".part-" +
                                                  std::to_string(::getpid()));
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    bool ok = fd >= 0 && writeAll(fd, text.data(), text.size()) && ::fsync(fd) == 0;
    int problem = errno;
    if (fd >= 0 && ::close(fd) != 0 && ok) {
        ok = false;
        problem = errno;
    }
    if (ok && ::rename(temp.c_str(), path.c_str()) == 0) return true;
    if (ok) problem = errno;
    ::unlink(temp.c_str());
    error = std::strerror(problem);
    return false;
}

}  // namespace

Inputs photosOf(const std::vector<std::string>& inputs, std::ostream& err) {
    Inputs found;
    std::set<std::string> seen;
    const auto add = [&](const std::string& path) {
        std::error_code ec;
        const fs::path canonical = fs::weakly_canonical(path, ec);
        if (seen.insert(ec ? path : canonical.string()).second) found.photos.push_back(path);
    };
    for (const std::string& input : inputs) {
        std::error_code ec;
        if (!fs::is_directory(input, ec)) {
            add(input);  // a missing or unreadable file is reported as its photo
            continue;
        }
        std::vector<std::string> names;
        for (fs::directory_iterator it(input, ec), end; !ec && it != end; it.increment(ec)) {
            std::error_code kind;
            const std::string name = it->path().filename().string();
            if (it->is_regular_file(kind) && looksLikePhoto(name)) names.push_back(name);
        }
        if (ec) {
            err << kProgram << ": cannot read the folder \"" << input << "\": " << ec.message() << "\n";
            ++found.problems;
            continue;
        }
        if (names.empty()) {
            err << kProgram << ": no photos in the folder \"" << input << "\"\n";
            ++found.problems;
        }
        std::sort(names.begin(), names.end());
        for (const std::string& name : names) add(joinPath(input, name));
    }
    return found;
}

std::vector<std::string> outputNames(const std::vector<std::string>& photos,
                                     const std::string& outDir) {
    // Names in lower case: a card or stick may not tell case apart.
    std::set<std::string> taken;
    std::set<std::string> inFolder;
    std::error_code ec;
    for (fs::directory_iterator it(outDir, ec), end; !ec && it != end; it.increment(ec))
        inFolder.insert(lower(it->path().filename().string()));
    const auto free = [&](const std::string& name) {
        const std::string key = lower(name);
        if (taken.count(key)) return false;
        for (const char* ending : kEndings) {
            if (inFolder.count(key + ending)) return false;
        }
        return true;
    };
    std::vector<std::string> stems;
    for (const std::string& photo : photos) {
        std::string stem = fs::path(photo).stem().string();
        stems.push_back(stem.empty() ? "photo" : stem);
    }
    // First every photo that can keep its own name, then the others, in order.
    std::vector<std::string> names(photos.size());
    for (std::size_t i = 0; i < photos.size(); ++i) {
        if (free(stems[i])) {
            names[i] = stems[i];
            taken.insert(lower(stems[i]));
        }
    }
    for (std::size_t i = 0; i < photos.size(); ++i) {
        for (int n = 2; names[i].empty(); ++n) {
            const std::string name = stems[i] + "-" + std::to_string(n);
            if (!free(name)) continue;
            names[i] = name;
            taken.insert(lower(name));
        }
    }
    return names;
}

int runBatch(const Options& options, const Services& services, std::ostream& err) {
    const BatchOptions& batch = options.batch;
    const Inputs inputs = photosOf(batch.inputs, err);
    if (inputs.photos.empty()) {
        err << kProgram << ": no photos to frame\n";
        return kExitNoPhotoOrFace;
    }
    std::error_code ec;
    fs::create_directories(batch.outDir, ec);
    std::string problem;
    if (!fs::is_directory(batch.outDir) || !canWriteIn(batch.outDir, problem)) {
        err << kProgram << ": cannot write into the folder \"" << batch.outDir
            << "\": " << (problem.empty() ? ec ? ec.message() : "not a folder" : problem) << "\n";
        return kExitNotWritten;
    }
    if (!batch.report.empty()) {
        const fs::path report(batch.report);
        const std::string folder = report.has_parent_path() ? report.parent_path().string() : ".";
        if (fs::is_directory(batch.report, ec) || !canWriteIn(folder, problem)) {
            err << kProgram << ": cannot write the report \"" << batch.report
                << "\": " << (problem.empty() ? "it is a folder" : problem) << "\n";
            return kExitNotWritten;
        }
    }

    LoadedModel loaded(options.model);
    GivenModel given(services.model);
    ModelSource& models = services.model ? static_cast<ModelSource&>(given) : loaded;
    if (!services.model) loaded.start();  // while the first photos are read and decoded
    int jobs = batch.jobs > 0 ? batch.jobs : int(std::max(1u, std::thread::hardware_concurrency()));
    // A worker on a 24 MP photo holds up to kJobMegabytes; more workers than the memory holds
    // would send the machine into swap, so many that it stands still.
    const double memoryMb =
        services.memoryMegabytes > 0
            ? services.memoryMegabytes
            : double(::sysconf(_SC_PHYS_PAGES)) * double(::sysconf(_SC_PAGESIZE)) / (1 << 20);
    const int fit = std::max(1, int(memoryMb / kJobMegabytes));
    if (jobs > fit && memoryMb > 0) {
        err << kProgram << ": " << jobs << " jobs at once would need about "
            << int(jobs * kJobMegabytes / 1024 + 0.5) << " GB of memory, more than this machine's "
            << int(memoryMb / 1024 + 0.5) << " GB: " << fit << " at once\n";
        jobs = fit;
    }

    Progress progress(err, services.terminal, inputs.photos.size());
    Run run(options, inputs.photos, outputNames(inputs.photos, batch.outDir), models);
    run.work(jobs, services.interrupted, progress);
    const std::vector<PhotoResult> results = run.done();

    int status = inputs.problems > 0 ? kExitNoPhotoOrFace : kExitOk;
    for (const PhotoResult& r : results) status = worse(status, statusOf(r.outcome));
    if (!run.modelProblem().empty()) err << kProgram << ": " << run.modelProblem() << "\n";
    const bool complete = !run.interrupted() && run.modelProblem().empty();
    if (!batch.report.empty() && !writeReport(batch.report, results, complete, problem)) {
        err << kProgram << ": the report \"" << batch.report << "\" could not be written: " << problem
            << "\n";
        status = kExitNotWritten;
    }
    err << kProgram << ": "
        << (run.interrupted() ? "stopped after " + std::to_string(results.size()) + " of " +
                                    std::to_string(inputs.photos.size()) + " photos"
                              : std::to_string(results.size()) + " photos")
        << ": " << summary(results) << "; files in \"" << batch.outDir << "\"\n";
    if (!run.modelProblem().empty()) return kExitNoModel;
    if (run.interrupted()) return kExitInterrupted;
    return status;
}

}  // namespace passportcli
