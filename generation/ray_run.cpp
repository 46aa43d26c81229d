#include "generation/ray_run.h"

#include <algorithm>
#include <array>
#include <condition_variable>
#include <deque>
#include <exception>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "controls/failure.h"
#include "distributions/distribution_file.h"
#include "generation/emission.h"
#include "generation/flux.h"
#include "output/file_sink.h"
#include "output/ray_format.h"

namespace lumiva {

namespace {

constexpr double kFluxMultiplier = 1;

// The sink's own buffer only holds the header: blocks of formatted rays are larger and go
// straight from their block to the file.
constexpr std::size_t kSinkBufferSize = 1 << 16;

// One drawing thread keeps about this many workers busy (a ray's draws cost a fraction of
// its completion and formatting); more would only hold more blocks in memory.
constexpr unsigned kMostWorkers = 8;

// How many rays ahead a worker asks for the table entries of a ray.
constexpr std::size_t kPrefetchDistance = 8;

// What the drawing thread keeps of a ray: everything the sequences decided.
struct DrawnRay {
    EmissionPoint point;
    DirectionDraw direction;
};

struct RayBlock {
    explicit RayBlock(std::size_t capacity, bool carriesOver)
        : drawn(capacity), text(capacity * kMaxRayLineChars) {
        if (carriesOver) {
            directions.resize(capacity);
            lookups.resize(capacity);
        }
    }
    std::int64_t index = 0;  // in the run's order
    std::size_t rays = 0;
    std::vector<DrawnRay> drawn;
    std::vector<char> text;
    std::size_t textSize = 0;
    // User Defined runs only: completed directions and what they found in the profiles.
    std::vector<EmissionDirection> directions;
    std::vector<ProfileLookup> lookups;
};

// A worker leaves a block it can no longer finish because the run has stopped.
struct Abandoned {};

// Blocks go from the drawing thread to the workers in order; each worker completes,
// weighs and formats a whole block; finished blocks are written strictly in order by
// whichever worker finds the next one ready. The only thing a block needs from the one
// before it is a User Defined run's IY and IX, handed on as soon as they are known.
class RayPipeline {
public:
    RayPipeline(const FluxWeighting& flux, const GridTrigonometry* grid, FileSink& sink,
                const RunEngine& engine)
        : flux_(flux),
          grid_(grid),
          sink_(sink),
          raysPerBlock_(std::max<std::size_t>(1, engine.raysPerBlock)) {
        const unsigned workers =
            engine.workers ? engine.workers
                           : std::clamp(std::thread::hardware_concurrency(), 1u, kMostWorkers);
        const bool carriesOver = flux.carriesOver();
        for (unsigned i = 0; i < 2 * workers + 2; ++i) {
            blocks_.push_back(std::make_unique<RayBlock>(raysPerBlock_, carriesOver));
            free_.push_back(blocks_.back().get());
        }
        for (unsigned i = 0; i < workers; ++i) {
            try {
                workers_.emplace_back([this] { work(); });
            } catch (const std::system_error& error) {
                // Fewer workers only make the run slower; none at all cannot run it.
                if (!workers_.empty()) break;
                throw Failure(std::string("Cannot start a thread to write the ray set: ") +
                              error.what());
            }
        }
    }
    // After a failure of the drawing thread: the workers stop, nothing is reported.
    ~RayPipeline() { stop(); }

    RayPipeline(const RayPipeline&) = delete;
    RayPipeline& operator=(const RayPipeline&) = delete;

    std::size_t raysPerBlock() const { return raysPerBlock_; }

    // An empty block to fill; rethrows a failure of a worker.
    RayBlock* take() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !free_.empty() || error_; });
        if (error_) std::rethrow_exception(error_);
        RayBlock* block = free_.back();
        free_.pop_back();
        block->rays = 0;
        return block;
    }

    void hand(RayBlock* block) {
        {
            const std::lock_guard lock(mutex_);
            block->index = handed_++;
            drawn_.push_back(block);
        }
        changed_.notify_all();
    }

    // Waits until every handed block is written; rethrows a failure of a worker.
    void finish() {
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return written_ == handed_ || error_; });
        }
        stop();
        if (error_) std::rethrow_exception(std::exchange(error_, nullptr));
    }

private:
    void stop() {
        {
            const std::lock_guard lock(mutex_);
            closing_ = true;
        }
        changed_.notify_all();
        for (std::thread& worker : workers_)
            if (worker.joinable()) worker.join();
    }

    void work() {
        for (;;) {
            RayBlock* block;
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [this] { return !drawn_.empty() || closing_ || error_; });
                if (closing_ || error_) return;
                block = drawn_.front();
                drawn_.pop_front();
            }
            try {
                format(*block);
                write(block);
            } catch (const Abandoned&) {
                return;
            } catch (...) {
                {
                    const std::lock_guard lock(mutex_);
                    if (!error_) error_ = std::current_exception();
                }
                changed_.notify_all();
                return;
            }
        }
    }

    void format(RayBlock& block) {
        char* out = block.text.data();
        if (!flux_.carriesOver()) {
            for (std::size_t i = 0; i < block.rays; ++i) {
                const EmissionDirection d = completeRay(block, i);
                out += formatRay(block.drawn[i].point, d, flux_.weightOf(d), out);
            }
        } else {
            for (std::size_t i = 0; i < block.rays; ++i) {
                block.directions[i] = completeRay(block, i);
                block.lookups[i] = flux_.lookUp(block.directions[i]);
            }
            carryProfiles(block);
            for (std::size_t i = 0; i < block.rays; ++i) {
                const ProfileLookup& in = block.lookups[i];
                const EmissionDirection& d = block.directions[i];
                out += formatRay(block.drawn[i].point, d, flux_.userWeight(in.y, in.x, d.phi), out);
            }
        }
        block.textSize = static_cast<std::size_t>(out - block.text.data());
    }

    // Ray i's whole direction; asks on the way for the table entries of a ray further on.
    EmissionDirection completeRay(const RayBlock& block, std::size_t i) const {
        if (grid_ && i + kPrefetchDistance < block.rays)
            grid_->prefetch(block.drawn[i + kPrefetchDistance].direction);
        return completeDirection(block.drawn[i].direction, grid_);
    }

    static std::size_t formatRay(const EmissionPoint& point, const EmissionDirection& d,
                                 double weight, char* out) {
        const double fields[7] = {
            point.x, point.y, point.z, d.L, d.M, d.N, weight * kFluxMultiplier};
        return formatRayLine(fields, out);
    }

    // Replaces each lookup by the IY and IX in force for its ray, taking over those the
    // block before left, and hands this block's last ones on.
    void carryProfiles(RayBlock& block) {
        double iy, ix;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock,
                          [&] { return carriedBlock_ == block.index - 1 || closing_ || error_; });
            if (carriedBlock_ != block.index - 1) throw Abandoned();
            iy = carriedY_;
            ix = carriedX_;
        }
        for (std::size_t i = 0; i < block.rays; ++i) {
            ProfileLookup& lookup = block.lookups[i];
            if (lookup.foundY) iy = lookup.y;
            if (lookup.foundX) ix = lookup.x;
            lookup.y = iy;
            lookup.x = ix;
        }
        {
            const std::lock_guard lock(mutex_);
            carriedBlock_ = block.index;
            carriedY_ = iy;
            carriedX_ = ix;
        }
        changed_.notify_all();
    }

    // Writes this block and every finished one after it, in order, unless another worker
    // is already doing so; it will then find this block too.
    void write(RayBlock* block) {
        std::unique_lock lock(mutex_);
        finished_.push_back(block);
        if (writing_) return;
        writing_ = true;
        for (;;) {
            const auto next = std::find_if(finished_.begin(), finished_.end(),
                                           [this](RayBlock* b) { return b->index == written_; });
            if (next == finished_.end() || closing_ || error_) break;
            RayBlock* ready = *next;
            finished_.erase(next);
            lock.unlock();
            try {
                sink_.write(ready->text.data(), ready->textSize);
            } catch (...) {
                lock.lock();
                writing_ = false;
                throw;
            }
            lock.lock();
            ++written_;
            free_.push_back(ready);
            changed_.notify_all();
        }
        writing_ = false;
    }

    const FluxWeighting& flux_;
    const GridTrigonometry* grid_;
    FileSink& sink_;
    const std::size_t raysPerBlock_;
    std::vector<std::unique_ptr<RayBlock>> blocks_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<RayBlock*> free_;
    std::deque<RayBlock*> drawn_;      // waiting for a worker, in order
    std::vector<RayBlock*> finished_;  // formatted, waiting for their turn to be written
    std::int64_t handed_ = 0;
    std::int64_t written_ = 0;
    bool writing_ = false;
    // The IY and IX in force after block carriedBlock_ (both 0 before the first ray).
    std::int64_t carriedBlock_ = -1;
    double carriedY_ = 0;
    double carriedX_ = 0;
    std::exception_ptr error_;
    bool closing_ = false;
    std::vector<std::thread> workers_;
};

// (i × 1000) div N at the start of ray i, reported when it changes, without a division
// for every ray.
class ProgressReport {
public:
    ProgressReport(std::int64_t n, const std::function<void(int)>& report)
        : n_(n), report_(report), next_(report ? 1 : std::numeric_limits<std::int64_t>::max()) {}

    void at(std::int64_t i) {
        if (i < next_) return;
        const std::int64_t permille = (i * 1000) / n_;
        report_(static_cast<int>(permille));
        next_ = ((permille + 1) * n_ + 999) / 1000;  // the first ray of the next thousandth
    }

private:
    std::int64_t n_;
    const std::function<void(int)>& report_;
    std::int64_t next_;
};

void writeRays(const RunParameters& p, const std::array<Distribution, 4>& tables, FileSink& sink,
               const RunCallbacks& callbacks, const RunEngine& engine) {
    RandomSource random(p.seed);
    SobolStream sobol(p.sobolStartSeed);
    std::optional<GridTrigonometry> grid;
    if (!p.angularSmoothing && p.rayCount >= engine.tabulateFrom &&
        exactlyTestedShare(p) >= engine.tabulateShare)
        grid.emplace(p);
    const GridTrigonometry* lookUp = grid ? &*grid : nullptr;
    const PointSampler points(p);
    const DirectionSampler directions(p, lookUp);
    const FluxWeighting flux(p, tables[kAngularY], tables[kAngularX]);
    RayPipeline pipeline(flux, lookUp, sink, engine);
    const std::int64_t n = p.rayCount;
    ProgressReport progress(n, callbacks.progress);
    RayBlock* block = pipeline.take();
    for (std::int64_t i = 1; i <= n; ++i) {
        progress.at(i);
        DrawnRay& ray = block->drawn[block->rays];
        ray.point = points.draw(random, sobol);
        ray.direction = directions.draw(random, sobol);
        if (++block->rays == pipeline.raysPerBlock() && i < n) {
            pipeline.hand(block);
            block = pipeline.take();
        }
    }
    pipeline.hand(block);
    pipeline.finish();
}

}  // namespace

RunSummary generateRaySet(const RunParameters& p, char decimalSeparator,
                          const RunCallbacks& callbacks, const RunEngine& engine) {
    if (p.rayCount < 1) throw Failure("The number of rays must be at least 1");
    FileSink sink(p.outputPath, kSinkBufferSize);

    // Read in picker order; a failure here leaves the file created or emptied, as the
    // run has always done, but closed.
    std::array<Distribution, 4> tables;
    for (int slot = kAngularY; slot <= kSpatialX; ++slot)
        if (!(p.readOnlyGivenDistributionFiles && p.distributionFiles[slot].empty()))
            tables[slot] = readDistributionFile(p.distributionFiles[slot], decimalSeparator,
                                                kRunTableCapacity);

    try {
        const HeaderCounts counts{static_cast<std::int64_t>(tables[kSpatialX].count()),
                                  static_cast<std::int64_t>(tables[kSpatialY].count()),
                                  static_cast<std::int64_t>(tables[kAngularY].count())};
        sink.write(rayHeader(p.format, p.rayCount, counts));
        if (callbacks.writingStarted) callbacks.writingStarted();
        writeRays(p, tables, sink, callbacks, engine);
        sink.close();
    } catch (const Failure& failure) {
        const bool removed = sink.discard();
        throw Failure(std::string(failure.what()) +
                      (removed ? "; the incomplete ray set " + p.outputPath + " was removed"
                               : "; the ray set " + p.outputPath + " is incomplete"));
    } catch (...) {
        sink.discard();
        throw;
    }
    return RunSummary{p.rayCount, sink.bytesWritten()};
}

}  // namespace lumiva
