#include <forms/AreaScaler.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace forms {

namespace {

// Fixed point used throughout: a weight is a fraction of 65536, a channel
// between the two passes is 8.8 (value * 256). One weighted term is
// (channel * 256 * weight) >> 16, which is exactly what the vector unit's
// unsigned high multiply gives, so both paths produce the same bits. The
// terms of one target pixel sum to at most 255 * 256: no lane overflows.
//
//   source pixel j covers [j*m, (j+1)*m)     (n source pixels, m targets,
//   target pixel i covers [i*n, (i+1)*n)      both measured in n*m units)
//
// The weight of j in i is their overlap / n; rounded weights are nudged so
// each target's weights sum to exactly 65536, so a uniform picture stays
// uniform.
struct AxisWeights
{
    std::vector<int> first;        // first source index of each target
    std::vector<int> count;        // how many source indexes it reads
    std::vector<int> offset;       // where its weights start in `weight`
    std::vector<quint16> weight;
};

// The first source of target i and how many it reads.
inline int firstSource(int n, int m, int i, int *count)
{
    const qint64 lo = qint64(i) * n;
    const int j0 = int(lo / m);
    *count = int((lo + n - 1) / m) - j0 + 1;
    return j0;
}

// The weights of target i into w[0, count). Sources inside the target are
// whole pixels and share one weight; only the two edge ones are cut.
void targetWeights(int n, int m, int i, int j0, int count, quint32 full, quint16 *w)
{
    const qint64 lo = qint64(i) * n;
    const qint64 hi = lo + n;
    auto edge = [&](qint64 j) {
        // At most m (< 32768) times 65536: fits unsigned 32 bits.
        const quint32 overlap = quint32(std::min(hi, (j + 1) * m) - std::max(lo, j * m));
        return quint16(std::min<quint32>((overlap * 65536u + quint32(n / 2)) / quint32(n), 65535u));
    };
    quint32 sum = 0;
    int largest = 0;
    for (int k = 0; k < count; ++k) {
        w[k] = k == 0 || k == count - 1 ? edge(j0 + k) : quint16(full);
        sum += w[k];
        if (w[k] > w[largest])
            largest = k;
    }
    // Rounding leaves the sum a few units off; the largest weight takes the
    // difference (it stays below 65536: no source pixel is a whole target
    // when the axis shrinks).
    w[largest] = quint16(w[largest] + 65536u - sum);
}

quint32 wholeWeight(int n, int m)
{
    return std::min<quint32>(quint32((qint64(m) * 65536 + n / 2) / n), 65535u);
}

AxisWeights axisWeights(int n, int m)
{
    Q_ASSERT_X(n > m && m > 0, "axisWeights", "only shrinking axes have weights below 1");
    AxisWeights a;
    a.first.resize(std::size_t(m));
    a.count.resize(std::size_t(m));
    a.offset.resize(std::size_t(m));
    int total = 0;
    for (int i = 0; i < m; ++i) {
        a.first[std::size_t(i)] = firstSource(n, m, i, &a.count[std::size_t(i)]);
        a.offset[std::size_t(i)] = total;
        total += a.count[std::size_t(i)];
    }
    a.weight.resize(std::size_t(total));
    const quint32 full = wholeWeight(n, m);
    for (int i = 0; i < m; ++i)
        targetWeights(n, m, i, a.first[std::size_t(i)], a.count[std::size_t(i)], full,
                      a.weight.data() + a.offset[std::size_t(i)]);
    return a;
}

// The 8.8 rows of the vertical pass: `width * 4` channels each.
using Row16 = quint16;

void verticalGeneric(const QImage &src, const AxisWeights *v, int targetRows, Row16 *out, std::size_t channels)
{
    for (int y = 0; y < targetRows; ++y, out += channels) {
        if (!v) {
            const uchar *s = src.constScanLine(y);
            for (std::size_t c = 0; c < channels; ++c)
                out[c] = Row16(s[c] << 8);
            continue;
        }
        std::fill(out, out + channels, Row16(0));
        const int first = v->first[std::size_t(y)];
        const quint16 *w = v->weight.data() + v->offset[std::size_t(y)];
        for (int k = 0; k < v->count[std::size_t(y)]; ++k) {
            const uchar *s = src.constScanLine(first + k);
            const quint32 wk = w[k];
            for (std::size_t c = 0; c < channels; ++c)
                out[c] = Row16(out[c] + ((quint32(s[c]) << 8) * wk >> 16));
        }
    }
}

void horizontalGeneric(const Row16 *in, std::size_t inChannels, const AxisWeights *h, int rows, QImage *dst)
{
    const int width = dst->width();
    for (int y = 0; y < rows; ++y, in += inChannels) {
        uchar *out = dst->scanLine(y);
        for (int x = 0; x < width; ++x, out += 4) {
            if (!h) {
                for (int c = 0; c < 4; ++c)
                    out[c] = uchar((in[x * 4 + c] + 128) >> 8);
                continue;
            }
            quint32 acc[4] = {0, 0, 0, 0};
            const Row16 *p = in + std::size_t(h->first[std::size_t(x)]) * 4;
            const quint16 *w = h->weight.data() + h->offset[std::size_t(x)];
            for (int k = 0; k < h->count[std::size_t(x)]; ++k, p += 4) {
                for (int c = 0; c < 4; ++c)
                    acc[c] = quint16(acc[c] + (quint32(p[c]) * w[k] >> 16));
            }
            for (int c = 0; c < 4; ++c)
                out[c] = uchar((acc[c] + 128) >> 8);
        }
    }
}

#if defined(__SSE2__)
// The fast path reads a fixed number K of sources for every target of an
// axis (the most any target needs): targets that need fewer get zero
// weights, and the window is moved inside the source where it would run past
// its end. A zero weight adds exactly nothing, so the sums are the generic
// ones, and fixed counts let the compiler unroll the sums.
struct PaddedWeights
{
    int taps = 0;
    std::vector<int> start;      // first source read by each target
    std::vector<quint16> weight; // taps per target
};

PaddedWeights padded(int n, int m)
{
    PaddedWeights p;
    p.start.resize(std::size_t(m));
    int count = 0;
    for (int i = 0; i < m; ++i) {
        p.start[std::size_t(i)] = firstSource(n, m, i, &count);
        p.taps = std::max(p.taps, count);
    }
    p.weight.assign(std::size_t(m) * std::size_t(p.taps), 0);
    const quint32 full = wholeWeight(n, m);
    for (int i = 0; i < m; ++i) {
        const int first = firstSource(n, m, i, &count);
        const int start = std::min(first, n - p.taps);
        p.start[std::size_t(i)] = start;
        targetWeights(n, m, i, first, count, full,
                      p.weight.data() + std::size_t(i) * std::size_t(p.taps) + std::size_t(first - start));
    }
    return p;
}

template <int Taps>
void verticalRow(const uchar *const *rows, const __m128i *w, std::size_t whole, Row16 *out)
{
    const __m128i zero = _mm_setzero_si128();
    for (std::size_t c = 0; c < whole; c += 16) {
        __m128i lo = zero;
        __m128i hi = zero;
#pragma GCC unroll 8
        for (int k = 0; k < Taps; ++k) {
            const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i *>(rows[k] + c));
            lo = _mm_add_epi16(lo, _mm_mulhi_epu16(_mm_unpacklo_epi8(zero, p), w[k]));
            hi = _mm_add_epi16(hi, _mm_mulhi_epu16(_mm_unpackhi_epi8(zero, p), w[k]));
        }
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + c), lo);
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + c + 8), hi);
    }
}

void verticalRowAny(const uchar *const *rows, const __m128i *w, int taps, std::size_t whole, Row16 *out)
{
    const __m128i zero = _mm_setzero_si128();
    for (std::size_t c = 0; c < whole; c += 16) {
        __m128i lo = zero;
        __m128i hi = zero;
        for (int k = 0; k < taps; ++k) {
            const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i *>(rows[k] + c));
            lo = _mm_add_epi16(lo, _mm_mulhi_epu16(_mm_unpacklo_epi8(zero, p), w[k]));
            hi = _mm_add_epi16(hi, _mm_mulhi_epu16(_mm_unpackhi_epi8(zero, p), w[k]));
        }
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + c), lo);
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + c + 8), hi);
    }
}

void verticalFast(const QImage &src, bool shrinks, int targetRows, Row16 *out, std::size_t channels)
{
    const __m128i zero = _mm_setzero_si128();
    const std::size_t whole = channels & ~std::size_t(15);
    if (!shrinks) {
        for (int y = 0; y < targetRows; ++y, out += channels) {
            const uchar *s = src.constScanLine(y);
            std::size_t c = 0;
            for (; c < whole; c += 16) {
                const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + c));
                _mm_storeu_si128(reinterpret_cast<__m128i *>(out + c), _mm_unpacklo_epi8(zero, p));
                _mm_storeu_si128(reinterpret_cast<__m128i *>(out + c + 8), _mm_unpackhi_epi8(zero, p));
            }
            for (; c < channels; ++c)
                out[c] = Row16(s[c] << 8);
        }
        return;
    }
    const PaddedWeights p = padded(src.height(), targetRows);
    const int taps = p.taps;
    struct Spread
    {
        __m128i w;
    };
    std::vector<Spread> weights(static_cast<std::size_t>(taps));
    std::vector<const uchar *> rows(static_cast<std::size_t>(taps));
    const uchar *bits = src.constBits();
    const qsizetype stride = src.bytesPerLine();
    for (int y = 0; y < targetRows; ++y, out += channels) {
        const quint16 *w = p.weight.data() + std::size_t(y) * std::size_t(taps);
        for (int k = 0; k < taps; ++k) {
            rows[std::size_t(k)] = bits + (p.start[std::size_t(y)] + k) * stride;
            weights[std::size_t(k)].w = _mm_set1_epi16(short(w[k]));
        }
        const __m128i *wv = &weights[0].w;
        static_assert(sizeof(Spread) == sizeof(__m128i));
        switch (taps) {
        case 2: verticalRow<2>(rows.data(), wv, whole, out); break;
        case 3: verticalRow<3>(rows.data(), wv, whole, out); break;
        case 4: verticalRow<4>(rows.data(), wv, whole, out); break;
        case 5: verticalRow<5>(rows.data(), wv, whole, out); break;
        default: verticalRowAny(rows.data(), wv, taps, whole, out); break;
        }
        for (std::size_t c = whole; c < channels; ++c) {
            quint32 acc = 0;
            for (int k = 0; k < taps; ++k)
                acc = quint16(acc + ((quint32(rows[std::size_t(k)][c]) << 8) * w[k] >> 16));
            out[c] = Row16(acc);
        }
    }
}

// Two targets at a time, one in each half of the vector: `w` holds, per
// pair and tap, the two weights spread over four channels each. With Taps
// above 0 the tap count is fixed when compiled (and the loop unrolled);
// with 0 it is `taps`.
template <int Taps>
void horizontalRow(const Row16 *in, const int *start, const __m128i *w, int taps, int pairs, quint32 *out,
                   int width)
{
    const int n = Taps > 0 ? Taps : taps;
    const __m128i half = _mm_set1_epi16(128);
    for (int i = 0; i < pairs; ++i, w += n) {
        const Row16 *a = in + std::size_t(start[2 * i]) * 4;
        const Row16 *b = in + std::size_t(start[2 * i + 1]) * 4;
        __m128i acc = _mm_setzero_si128();
#pragma GCC unroll 8
        for (int k = 0; k < n; ++k) {
            const __m128i v = _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i *>(a + 4 * k)),
                                                 _mm_loadl_epi64(reinterpret_cast<const __m128i *>(b + 4 * k)));
            acc = _mm_add_epi16(acc, _mm_mulhi_epu16(v, w[k]));
        }
        acc = _mm_srli_epi16(_mm_add_epi16(acc, half), 8);
        const __m128i packed = _mm_packus_epi16(acc, acc);
        if (2 * i + 1 < width)
            _mm_storel_epi64(reinterpret_cast<__m128i *>(out + 2 * i), packed);
        else
            out[2 * i] = quint32(_mm_cvtsi128_si32(packed));
    }
}

void horizontalFast(const Row16 *in, std::size_t inChannels, bool shrinks, int rows, QImage *dst)
{
    const int width = dst->width();
    if (!shrinks) {
        const __m128i half = _mm_set1_epi16(128);
        for (int y = 0; y < rows; ++y, in += inChannels) {
            auto *out = reinterpret_cast<quint32 *>(dst->scanLine(y));
            for (int x = 0; x < width; ++x) {
                __m128i acc = _mm_loadl_epi64(reinterpret_cast<const __m128i *>(in + std::size_t(x) * 4));
                acc = _mm_srli_epi16(_mm_add_epi16(acc, half), 8);
                out[x] = quint32(_mm_cvtsi128_si32(_mm_packus_epi16(acc, acc)));
            }
        }
        return;
    }
    const int sourceWidth = int(inChannels / 4);
    const PaddedWeights p = padded(sourceWidth, width);
    const int taps = p.taps;
    const int pairs = (width + 1) / 2;
    // An odd last target is paired with a copy of itself.
    std::vector<int> start(std::size_t(pairs) * 2);
    for (int x = 0; x < pairs * 2; ++x)
        start[std::size_t(x)] = p.start[std::size_t(std::min(x, width - 1))];
    struct Spread
    {
        __m128i w;
    };
    std::vector<Spread> spread(std::size_t(pairs) * std::size_t(taps));
    for (int i = 0; i < pairs; ++i) {
        const int a = 2 * i;
        const int b = std::min(2 * i + 1, width - 1);
        for (int k = 0; k < taps; ++k) {
            const short wa = short(p.weight[std::size_t(a) * std::size_t(taps) + std::size_t(k)]);
            const short wb = short(p.weight[std::size_t(b) * std::size_t(taps) + std::size_t(k)]);
            spread[std::size_t(i) * std::size_t(taps) + std::size_t(k)].w = _mm_set_epi16(wb, wb, wb, wb, wa, wa, wa, wa);
        }
    }
    const __m128i *w = &spread[0].w;
    for (int y = 0; y < rows; ++y, in += inChannels) {
        auto *out = reinterpret_cast<quint32 *>(dst->scanLine(y));
        switch (taps) {
        case 2: horizontalRow<2>(in, start.data(), w, taps, pairs, out, width); break;
        case 3: horizontalRow<3>(in, start.data(), w, taps, pairs, out, width); break;
        case 4: horizontalRow<4>(in, start.data(), w, taps, pairs, out, width); break;
        case 5: horizontalRow<5>(in, start.data(), w, taps, pairs, out, width); break;
        default: horizontalRow<0>(in, start.data(), w, taps, pairs, out, width); break;
        }
    }
}
#endif

} // namespace

QImage areaScaled(const QImage &source, QSize size, ScalePath path)
{
    Q_ASSERT_X(!source.isNull() && !size.isEmpty() && size.width() <= source.width()
                   && size.height() <= source.height(),
               "areaScaled", "only shrinks a picture, to a non-empty size");
    if (source.isNull() || size.isEmpty() || size.width() > source.width() || size.height() > source.height())
        return {};

    QImage src = source;
    if (src.format() != QImage::Format_RGB32 && src.format() != QImage::Format_ARGB32_Premultiplied)
        src = src.convertToFormat(src.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);

    const int sw = src.width();
    const int sh = src.height();
    const int dw = size.width();
    const int dh = size.height();

    QImage dst(dw, dh, src.format());
    if (dst.isNull())
        return {};
    // Rows first: the vertical pass is the same sum for every channel of a
    // row, which the vector unit does 16 channels at a time; the per-pixel
    // horizontal pass then runs over the fewer target rows only.
    const std::size_t channels = std::size_t(sw) * 4;
    std::unique_ptr<Row16[]> middle(new Row16[channels * std::size_t(dh)]);
#if defined(__SSE2__)
    if (path == ScalePath::Fast) {
        verticalFast(src, sh > dh, dh, middle.get(), channels);
        horizontalFast(middle.get(), channels, sw > dw, dh, &dst);
        return dst;
    }
#else
    Q_UNUSED(path);
#endif
    const std::optional<AxisWeights> v = sh > dh ? std::optional(axisWeights(sh, dh)) : std::nullopt;
    const std::optional<AxisWeights> h = sw > dw ? std::optional(axisWeights(sw, dw)) : std::nullopt;
    verticalGeneric(src, v ? &*v : nullptr, dh, middle.get(), channels);
    horizontalGeneric(middle.get(), channels, h ? &*h : nullptr, dh, &dst);
    return dst;
}

QImage smoothlyScaled(const QImage &source, QSize size)
{
    if (source.isNull() || size.isEmpty())
        return {};
    if (size == source.size())
        return source;
    if (size.width() <= source.width() && size.height() <= source.height())
        return areaScaled(source, size);
    return source.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace forms
