#include "retarget/segmented_build.h"

#include <algorithm>
#include <cstdint>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <limits>
#include <memory>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

#include "retarget/frame_writer.h"

namespace varnex {

namespace {
// Bytes asked of the source at a time.
constexpr std::size_t READ_BYTES = 1 << 16;
// No frame starting within this many segments' bytes: the rest is built by one worker, which
// holds one frame at a time whatever its size.
constexpr std::size_t MAX_SEGMENTS_UNCUT = 4;

// The bytes held, then the rest of a source.
class CChainedSource : public CByteSource {
public:
    CChainedSource(std::string_view first, CByteSource& rest, bool restAtEnd)
        : m_first(first), m_rest(rest), m_restAtEnd(restAtEnd) {}

    std::size_t Read(char* buffer, std::size_t count) override {
        if (m_pos < m_first.size()) {
            std::size_t n = std::min(count, m_first.size() - m_pos);
            std::memcpy(buffer, m_first.data() + m_pos, n);
            m_pos += n;
            return n;
        }
        return m_restAtEnd ? 0 : m_rest.Read(buffer, count);
    }
    const std::string& Name() const override { return m_rest.Name(); }

private:
    std::string_view m_first;
    std::size_t m_pos = 0;
    CByteSource& m_rest;
    bool m_restAtEnd;
};

// Bytes that grow without being cleared first, followed by READABLE_PAST_LINE zero bytes.
class CByteBuffer {
public:
    std::string_view View() const { return std::string_view(m_data.get(), m_size); }
    std::size_t Size() const { return m_size; }
    void Assign(std::string_view bytes) {
        Reserve(bytes.size());
        if (!bytes.empty()) std::memcpy(m_data.get(), bytes.data(), bytes.size());  // not its own
        SetSize(bytes.size());
    }
    // Reads from source until size bytes are held or the source ends (atEnd then set).
    void Fill(CByteSource& source, std::size_t size, bool& atEnd) {
        while (!atEnd && m_size < size) {
            std::size_t ask = std::min(READ_BYTES, size - m_size);
            Reserve(m_size + ask);
            std::size_t got = source.Read(m_data.get() + m_size, ask);
            SetSize(m_size + got);
            atEnd = got == 0;
        }
    }
    void SetSize(std::size_t size) {
        Reserve(size);
        m_size = size;
        std::memset(m_data.get() + size, 0, READABLE_PAST_LINE);
    }

private:
    void Reserve(std::size_t size) {
        // Past a terabyte the file is not an animation; counted in 64 bits on every system, and
        // on 32 bits the zeros past it must still fit the address space.
        if (static_cast<std::uint64_t>(size) > (std::uint64_t{1} << 40) ||
            size > std::numeric_limits<std::size_t>::max() - READABLE_PAST_LINE) {
            throw std::bad_alloc();
        }
        if (size + READABLE_PAST_LINE <= m_capacity) return;
        std::size_t capacity = std::max(size + READABLE_PAST_LINE, m_capacity * 2);
        std::unique_ptr<char[]> bigger(new char[capacity]);
        if (m_size != 0) std::memcpy(bigger.get(), m_data.get(), m_size);
        m_data = std::move(bigger);
        m_capacity = capacity;
    }

    std::unique_ptr<char[]> m_data;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
};

// A line's number in a segment, counted from the segment's start, made the file's.
std::exception_ptr InFile(const std::exception_ptr& error, int linesBefore) {
    try {
        std::rethrow_exception(error);
    } catch (const CVarnexError& e) {
        if (e.Line() <= 0) return error;
        return std::make_exception_ptr(CVarnexError(e.Kind(), e.File(), e.Line() + linesBefore,
                                                    e.Values(), e.SystemError()));
    } catch (...) {
        return error;
    }
}

// Each worker takes the next segment from the source and builds it into an output of its own;
// whichever worker finds the oldest unwritten segment built writes it and every built one after
// it, while the others go on building. A worker reads the bytes it builds, so they are in its
// processor's cache.
class CSegmentedBuild {
public:
    CSegmentedBuild(const BUILD_JOB& job, const std::string& animSource, CByteSource& source,
                    CByteBuffer& carry, bool atEnd, int linesBefore, COutputSink& out)
        : m_job(job),
          m_animSource(animSource),
          m_source(source),
          m_carry(carry),
          m_atEnd(atEnd),
          m_linesBefore(linesBefore),
          m_out(out),
          m_inFlight(static_cast<std::size_t>(job.threads) * 2) {}

    void Run(const std::function<std::unique_ptr<CSegmentBuilder>()>& makeBuilder) {
        // Every row is planned before a thread starts: a refusal comes first, as with one.
        std::vector<std::unique_ptr<CSegmentBuilder>> builders;
        for (int i = 0; i < m_job.threads; ++i) builders.push_back(makeBuilder());
        {
            std::vector<std::jthread> others;
            for (std::size_t i = 1; i < builders.size(); ++i) {
                others.emplace_back([this, &builders, i] { Work(*builders[i]); });
            }
            Work(*builders[0]);
        }
        if (m_error) std::rethrow_exception(m_error);
    }

private:
    // A segment and what its worker made of it.
    struct SEGMENT {
        std::uint64_t number = 0;
        bool built = false;
        CByteBuffer bytes;
        bool last = false;         // the source ends with it
        bool uncut = false;        // no frame starts in it: the rest is built when its turn comes
        CStringSink output;
        std::exception_ptr error;  // a refusal, or the source that could not be read
        bool ended = false;        // the animation's "end" was met
        int lines = 0;
        CRootHeightRange heights;
        CBoneTears tears;
    };

    void Work(CSegmentBuilder& writer) {
        for (;;) {
            std::unique_lock<std::mutex> lock(m_mutex);
            // At most m_inFlight segments between the oldest unwritten and the newest taken.
            m_changed.wait(lock, [&] { return m_closed || m_taken - m_turn < m_inFlight.size(); });
            if (m_closed) return;
            SEGMENT& segment = m_inFlight[m_taken % m_inFlight.size()];
            segment.number = m_taken++;
            segment.built = false;
            Take(segment);
            lock.unlock();
            if (!segment.error && !segment.uncut) Build(writer, segment);
            lock.lock();
            segment.built = true;
            if (m_writing) continue;
            m_writing = true;
            WriteBuilt(writer, lock);
            m_writing = false;
            lock.unlock();
            m_changed.notify_all();
        }
    }

    // The segment's bytes: the start of its first frame left by the one before, then the source
    // up to the last frame that starts in about job.segmentBytes. Called with m_mutex held.
    void Take(SEGMENT& segment) {
        segment.error = nullptr;
        segment.uncut = false;
        segment.last = false;
        segment.bytes.Assign(m_carry.View());
        try {
            std::size_t cut = 0;
            for (std::size_t want = m_job.segmentBytes;; want += m_job.segmentBytes) {
                segment.bytes.Fill(m_source, want, m_atEnd);
                cut = m_atEnd ? segment.bytes.Size() : LastFrameStart(segment.bytes.View());
                if (cut != 0 || m_atEnd || want >= MAX_SEGMENTS_UNCUT * m_job.segmentBytes) break;
            }
            if (cut == 0) {
                segment.uncut = true;
                m_closed = true;
                return;
            }
            m_carry.Assign(segment.bytes.View().substr(cut));
            segment.bytes.SetSize(cut);
            segment.last = m_atEnd && m_carry.Size() == 0;
            m_closed = segment.last;
        } catch (...) {
            segment.error = std::current_exception();
            m_closed = true;
        }
    }

    void Build(CSegmentBuilder& writer, SEGMENT& segment) {
        segment.output.Clear();
        segment.ended = false;
        segment.heights = CRootHeightRange();
        segment.tears = CBoneTears();
        CMemorySource name(std::string_view(), m_animSource);
        CLineReader reader(name, segment.bytes.View(), 1);
        try {
            segment.ended =
                writer.Build(reader, segment.output,
                             m_job.rootHeights != nullptr ? &segment.heights : nullptr,
                             m_job.boneTears != nullptr ? &segment.tears : nullptr, segment.last);
        } catch (...) {
            segment.error = std::current_exception();
        }
        segment.lines = reader.LineNumber();
    }

    // Writes the oldest segment while it is built, and the next, in order; the bytes go out with
    // m_mutex released, so the other workers take and build meanwhile.
    void WriteBuilt(CSegmentBuilder& writer, std::unique_lock<std::mutex>& lock) {
        while (m_turn < m_taken) {
            SEGMENT& segment = m_inFlight[m_turn % m_inFlight.size()];
            if (!segment.built) return;
            if (!m_finished) {
                lock.unlock();
                std::exception_ptr error;
                try {
                    Write(writer, segment);
                } catch (...) {
                    error = std::current_exception();
                }
                lock.lock();
                if (error) m_error = error;
                if (error || segment.ended || segment.uncut) m_finished = true;
                if (m_finished) m_closed = true;
            }
            ++m_turn;
            m_changed.notify_all();
        }
    }

    void Write(CSegmentBuilder& writer, SEGMENT& segment) {
        if (segment.error) std::rethrow_exception(InFile(segment.error, m_linesBefore));
        if (segment.uncut) return BuildRestHere(writer, segment.bytes);
        m_out.Write(segment.output.Text());
        if (m_job.rootHeights != nullptr) m_job.rootHeights->Merge(segment.heights);
        if (m_job.boneTears != nullptr) m_job.boneTears->Merge(segment.tears);
        m_linesBefore += segment.lines;
    }

    // The rest of the animation on this thread, one frame at a time whatever its size: every
    // earlier segment is written and no other is taken.
    void BuildRestHere(CSegmentBuilder& writer, const CByteBuffer& bytes) {
        CChainedSource rest(bytes.View(), m_source, m_atEnd);
        CLineReader reader(rest, 0, m_linesBefore + 1);
        writer.Build(reader, m_out, m_job.rootHeights, m_job.boneTears, true);
    }

    const BUILD_JOB& m_job;
    const std::string& m_animSource;
    CByteSource& m_source;
    CByteBuffer& m_carry;  // read past the last cut: the start of the next segment's first frame
    bool m_atEnd;
    int m_linesBefore;  // lines of the segments written, and of the head
    COutputSink& m_out;
    std::mutex m_mutex;
    std::condition_variable m_changed;  // a segment is written, or no more will be taken
    std::vector<SEGMENT> m_inFlight;    // segment n in slot n % size
    std::uint64_t m_taken = 0;          // segments taken
    std::uint64_t m_turn = 0;           // the oldest unwritten segment
    bool m_closed = false;              // no segment is taken any more
    bool m_writing = false;             // a worker is writing
    bool m_finished = false;            // "end" written, or a refusal: the rest is dropped
    std::exception_ptr m_error;
};
}  // namespace

std::size_t LastFrameStart(std::string_view data) {
    // Walk back over complete lines: [start, end) without its line end, which is an LF not
    // preceded by a CR, or a CR.
    std::size_t i = data.size();
    while (i > 0 && data[i - 1] != '\n' && data[i - 1] != '\r') --i;
    while (i > 0) {
        std::size_t end = i - 1;
        if (data[end] == '\n' && end > 0 && data[end - 1] == '\r') --end;
        std::size_t start = end;
        while (start > 0 && data[start - 1] != '\n' && data[start - 1] != '\r') --start;
        if (start == 0) return 0;
        if (StartsFrame(data.substr(start, end - start))) return start;
        i = start;
    }
    return 0;
}

namespace {
// The default method's frames: rows composed from the source lines by a CFrameWriter.
class CLocalBuilder : public CSegmentBuilder {
public:
    CLocalBuilder(const BUILD_JOB& job, const COMPOSE_CONTEXT& context)
        : m_lineEnd(job.lineEnd), m_writer(job, context) {}
    bool Build(CLineReader& reader, COutputSink& out, CRootHeightRange* heights,
               CBoneTears* tears, bool sourceEnds) override {
        m_writer.Reset();
        m_writer.SetOutput(out);
        m_writer.SetRootHeights(heights);
        m_writer.SetBoneTears(tears);
        return ReadFrames(reader, m_writer, m_lineEnd, sourceEnds);
    }

private:
    const std::string& m_lineEnd;
    CFrameWriter m_writer;
};
}  // namespace

void WriteSegmentedFrames(const BUILD_JOB& job, CLineReader& anim, COutputSink& out,
                          const std::function<std::unique_ptr<CSegmentBuilder>()>& makeBuilder) {
    WriteModelHeader(job, out);
    CByteBuffer carry;
    carry.Assign(anim.Unread());
    bool atEnd = anim.SourceAtEnd();
    carry.Fill(anim.Source(), job.segmentBytes, atEnd);
    if (!atEnd) {
        CSegmentedBuild(job, anim.SourceName(), anim.Source(), carry, atEnd, anim.LineNumber(),
                        out)
            .Run(makeBuilder);
        return;
    }
    // An animation of one segment: no thread is worth starting.
    CMemorySource name(std::string_view(), anim.SourceName());
    CLineReader reader(name, carry.View(), anim.LineNumber() + 1);
    makeBuilder()->Build(reader, out, job.rootHeights, job.boneTears, true);
}

void WriteSegmentedAnimation(const BUILD_JOB& job, CLineReader& anim, COutputSink& out) {
    const COMPOSE_CONTEXT context = ComposeContextOf(job, anim.SourceName());
    WriteSegmentedFrames(job, anim, out, [&job, &context] {
        return std::make_unique<CLocalBuilder>(job, context);
    });
}

}  // namespace varnex
