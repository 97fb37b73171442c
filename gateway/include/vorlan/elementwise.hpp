// The gateway's general element-wise path, beside the fixed one of
// gateway.hpp: several real or complex inputs that combine as the host's
// arithmetic operators combine them (equal sizes, scalars, or each dimension
// equal or 1, all dimensions kept), and several outputs, each computed only
// when the caller asks for it: a double array, or a 1x1 struct whose named
// fields are double arrays of the combined size.  A plug-in is described by
// data (ElementwiseDeliverable); the path itself is written once.
//
// Beyond the members gateway.hpp lists, the host binding provides
//   using Dimension = <the host's dimension type>;
//   uint64_t MXGETNUMBEROFDIMENSIONS(Input);
//   const Dimension* MXGETDIMENSIONS(Input);      the host's own array
//   Output MXCREATEDOUBLEARRAY(uint64_t ndims, const Dimension* dims, int32_t complexity);
//   Output MXCREATESTRUCTMATRIX(int32_t rows, int32_t columns, int32_t fields,
//                               const char* const* names);
//   void MXSETFIELDBYNUMBER(Output s, uint64_t index, int32_t field, Output value);
//                                                  s takes ownership of value
#ifndef VORLAN_ELEMENTWISE_HPP
#define VORLAN_ELEMENTWISE_HPP

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>

#include "vorlan/gateway.hpp"
#include "vorlan/messages.hpp"
#include "vorlan/scratch.hpp"

namespace vorlan {

inline constexpr int kMaxElementwiseInputs = 9;
inline constexpr int kMaxElementwiseOutputs = 4;
// Result arrays of one call: each plain output is one, each struct output
// one per field.
inline constexpr int kMaxElementwiseArrays = 9;

namespace detail {
template <std::size_t N>
constexpr std::array<std::int64_t, N> unit_steps() {
  std::array<std::int64_t, N> steps{};
  for (std::int64_t& s : steps) s = 1;
  return steps;
}
}  // namespace detail

// What the kernel adapter sees: every input at the combined size, and the
// result arrays asked for, in the host's arrays, in the order of the outputs
// and, within a struct output, of its fields.  A null result is not wanted; a
// null imaginary part belongs to a result that is real by its plug-in's
// description, or to a real input (its imaginary parts are +0).
struct ElementwiseArrays {
  std::array<const double*, kMaxElementwiseInputs> re{};
  std::array<const double*, kMaxElementwiseInputs> im{};
  // Element k of input j at [k * in_step[j]]: 2 in interleaved complex
  // arrays, 0 for a one-element input that a plug-in reads where it is.
  std::array<std::int64_t, kMaxElementwiseInputs> in_step =
      detail::unit_steps<kMaxElementwiseInputs>();
  std::array<double*, kMaxElementwiseArrays> out_re{};
  std::array<double*, kMaxElementwiseArrays> out_im{};
  // Element k of result r at [k * out_step[r]] (2 in interleaved complex arrays).
  std::array<std::int64_t, kMaxElementwiseArrays> out_step =
      detail::unit_steps<kMaxElementwiseArrays>();
};

// Evaluates n elements, element k of every array for element k.
using ElementwiseKernel = void (*)(const ElementwiseArrays& arrays, std::int64_t n);

// The fields of a struct output, in their order; none: a plain array.
struct ElementwiseFields {
  int count;
  const char* const* names;
};

// What is fixed per element-wise plug-in.
struct ElementwiseDeliverable {
  int inputs;           // exactly this many
  bool complex_inputs;  // true: real input taken with +0 imaginary parts; false: complex refused
  int outputs;          // at most this many
  std::array<bool, kMaxElementwiseOutputs> complex_outputs;  // of a struct: its fields
  Message argument_count;
  Message too_many_outputs;
  ElementwiseKernel kernel;
  std::array<ElementwiseFields, kMaxElementwiseOutputs> fields{};
  // A one-element input read where it is, with step 0, rather than spread to
  // the combined size in scratch: for kernels that take input steps.
  bool scalars_in_place = false;
};

// Whether a description's inputs and results fit the arrays above.
constexpr bool fits(const ElementwiseDeliverable& d) {
  if (d.inputs < 0 || d.inputs > kMaxElementwiseInputs || d.outputs < 1 ||
      d.outputs > kMaxElementwiseOutputs) {
    return false;
  }
  int arrays = 0;
  for (int o = 0; o < d.outputs; ++o) arrays += d.fields[o].count > 0 ? d.fields[o].count : 1;
  return arrays <= kMaxElementwiseArrays;
}

namespace detail {

// The inputs' shapes as the host reports them; a dimension beyond an input's
// own count is 1.
template <class Host>
struct InputShapes {
  int count = 0;
  std::array<std::uint64_t, kMaxElementwiseInputs> ndims{};
  std::array<const typename Host::Dimension*, kMaxElementwiseInputs> dims{};
  std::uint64_t combined_ndims = 0;

  std::uint64_t extent(int input, std::uint64_t d) const {
    return d < ndims[input] ? static_cast<std::uint64_t>(dims[input][d]) : 1;
  }

  // Dimension d of the combined size; false when the inputs disagree there.
  bool combined(std::uint64_t d, std::uint64_t& extent_out) const {
    extent_out = 1;
    for (int j = 0; j < count; ++j) {
      const std::uint64_t e = extent(j, d);
      if (e == 1) continue;
      if (extent_out != 1 && extent_out != e) return false;
      extent_out = e;
    }
    return true;
  }

  // Elements of one input, once the combined count is known to be non-zero
  // (each of its extents is then 1 or the combined one, so it fits too).
  std::int32_t elements(int input) const {
    std::uint64_t n = 1;
    for (std::uint64_t d = 0; d < ndims[input]; ++d) n *= extent(input, d);
    return static_cast<std::int32_t>(n);
  }
};

// Spreads an input staged at the front of data, in its own shape, over the
// combined shape, in place.  Dimension by dimension from the first: the
// dimensions below d already have their combined extent, those above still
// the input's; each block of the dimensions below is repeated along d where
// the input has extent 1 there.  Copies run from the end of the data back, so
// that no block is overwritten before it is copied.
template <class Host>
void broadcast_in_place(double* data, const InputShapes<Host>& shapes, int input,
                        const typename Host::Dimension* combined) {
  std::size_t inner = 1;
  for (std::uint64_t d = 0; d < shapes.combined_ndims; ++d) {
    const auto extent = static_cast<std::size_t>(combined[d]);
    if (shapes.extent(input, d) == 1 && extent != 1) {
      std::size_t outer = 1;
      for (std::uint64_t e = d + 1; e < shapes.combined_ndims; ++e) {
        outer *= static_cast<std::size_t>(shapes.extent(input, e));
      }
      for (std::size_t m = outer; m-- > 0;) {
        if (inner == 1) {
          const double value = data[m];
          std::fill(data + m * extent, data + (m + 1) * extent, value);
          continue;
        }
        const double* source = data + m * inner;
        for (std::size_t r = extent; r-- > 0;) {
          double* target = data + (m * extent + r) * inner;
          if (target != source) std::memmove(target, source, inner * sizeof(double));
        }
      }
    }
    inner *= extent;
  }
}

}  // namespace detail

namespace detail {

// A host's data address as first element and step, whether its binding
// gives a HostPart or a plain address (one double after another).
inline HostPart<double> part_of(double* data) { return {data, 1}; }
inline HostPart<double> part_of(HostPart<double> part) { return part; }

// Whether an input can be read where the host keeps it: a double input at the
// combined size (a complex one only for a plug-in with complex inputs).
// Decided without touching its data, since the scratch, and so the last
// refusal, depends on it.
template <class Host>
bool read_in_place(Host& host, const ElementwiseDeliverable& deliverable,
                   const typename Host::Input& input, std::int32_t own, std::int32_t count) {
  return count > 0 && own == count && host.MXGETCLASS(input) == ElementClass::kDouble &&
         (deliverable.complex_inputs || host.MXISCOMPLEX(input) != 1);
}

// Where the kernel reads an input from.
enum class Placement {
  kHost,          // the host's array, at the combined size
  kHostScalar,    // the host's one element, step 0
  kStagedScalar,  // its one element converted into the scratch's tail, step 0
  kStaged,        // spread to the combined size in scratch buffers
};

template <class Host>
Placement placement(Host& host, const ElementwiseDeliverable& deliverable,
                    const typename Host::Input& input, std::int32_t own, std::int32_t count) {
  if (read_in_place(host, deliverable, input, own, count)) return Placement::kHost;
  if (!deliverable.scalars_in_place || count == 0 || own != 1) return Placement::kStaged;
  return read_in_place(host, deliverable, input, 1, 1) ? Placement::kHostScalar
                                                       : Placement::kStagedScalar;
}

// Creates one result array of the combined size and hands its parts to the
// kernel as result r.
template <class Host>
typename Host::Output create_result(Host& host, ElementwiseArrays& arrays, int r, bool complex,
                                    std::uint64_t ndims, const typename Host::Dimension* dims) {
  typename Host::Output array = host.MXCREATEDOUBLEARRAY(ndims, dims, complex ? 1 : 0);
  const HostPart<double> re = part_of(host.MXGETPR(array));
  arrays.out_re[r] = re.first;
  arrays.out_step[r] = static_cast<std::int64_t>(re.step);
  if (complex) arrays.out_im[r] = part_of(host.MXGETPI(array)).first;
  return array;
}

}  // namespace detail

// Stages, evaluates and writes back; called once every check has passed.
// The only failure left is the scratch allocation, reported before anything
// is read or created.  Scratch holds the inputs that the kernel cannot read
// where the host keeps them (of another class, or broadcast); the results it
// writes straight into the arrays created for them.  A struct output is
// created before its fields, and each field is handed to it as soon as it
// exists, so that whatever the host has made is always reachable from plhs.
template <class Host, class Scratch = HeapScratch>
void ELEMENTWISE_ARRAY(Host& host, const ElementwiseDeliverable& deliverable, int filled,
                       typename Host::Output* plhs, const typename Host::Input* prhs,
                       const detail::InputShapes<Host>& shapes, std::int32_t count) {
  using Dimension = typename Host::Dimension;
  using detail::Placement;
  const int parts_in = deliverable.complex_inputs ? 2 : 1;
  std::array<Placement, kMaxElementwiseInputs> placed{};
  int buffers = 0;
  std::size_t tail_doubles = 0;
  for (int j = 0; j < deliverable.inputs; ++j) {
    placed[j] =
        detail::placement(host, deliverable, prhs[j], count > 0 ? shapes.elements(j) : 0, count);
    if (placed[j] == Placement::kStaged) buffers += parts_in;
    if (placed[j] == Placement::kStagedScalar) tail_doubles += static_cast<std::size_t>(parts_in);
  }
  // The tail: the staged scalars, then the combined dimensions.
  Scratch scratch(count, buffers,
                  tail_doubles * sizeof(double) + shapes.combined_ndims * sizeof(Dimension));
  if (!scratch.ok()) {
    scratch.release();  // the error operation does not return: hold nothing
    host.MEXERRMSGTXT(messages::kOutOfMemory);
    return;
  }
  double* scalars = static_cast<double*>(scratch.tail());
  auto* combined = static_cast<Dimension*>(static_cast<void*>(scalars + tail_doubles));
  for (std::uint64_t d = 0; d < shapes.combined_ndims; ++d) {
    std::uint64_t extent = 1;
    shapes.combined(d, extent);
    ::new (static_cast<void*>(combined + d)) Dimension(static_cast<Dimension>(extent));
  }

  ElementwiseArrays arrays;
  int next = 0;
  for (int j = 0; j < deliverable.inputs; ++j) {
    if (placed[j] == Placement::kHost || placed[j] == Placement::kHostScalar) {
      const HostPart<double> re = detail::part_of(host.MXGETPR(prhs[j]));
      arrays.re[j] = re.first;
      arrays.in_step[j] = placed[j] == Placement::kHost ? static_cast<std::int64_t>(re.step) : 0;
      if (host.MXISCOMPLEX(prhs[j]) == 1) {
        arrays.im[j] = detail::part_of(host.MXGETPI(prhs[j])).first;
      }
      continue;
    }
    const bool scalar = placed[j] == Placement::kStagedScalar;
    double* re = scalar ? scalars++ : scratch.buffer(next++);
    double* im = !deliverable.complex_inputs ? nullptr
                 : scalar                    ? scalars++
                                             : scratch.buffer(next++);
    arrays.re[j] = re;
    arrays.im[j] = im;
    if (scalar) arrays.in_step[j] = 0;
    if (count == 0) continue;  // nothing to read: an input may even be larger than 32 bits
    const std::int32_t own = shapes.elements(j);
    detail::stage_part(host, prhs[j], false, re, own);
    if (!scalar) detail::broadcast_in_place(re, shapes, j, combined);
    if (im == nullptr) continue;
    if (host.MXISCOMPLEX(prhs[j]) == 1) {
      detail::stage_part(host, prhs[j], true, im, own);
      if (!scalar) detail::broadcast_in_place(im, shapes, j, combined);
    } else {
      std::fill(im, im + (scalar ? 1 : count), +0.0);
    }
  }
  int r = 0;
  for (int o = 0; o < filled; ++o) {
    const bool complex = deliverable.complex_outputs[o];
    const ElementwiseFields& fields = deliverable.fields[o];
    if (fields.count == 0) {
      plhs[o] = detail::create_result(host, arrays, r++, complex, shapes.combined_ndims, combined);
      continue;
    }
    plhs[o] = host.MXCREATESTRUCTMATRIX(1, 1, fields.count, fields.names);
    for (int f = 0; f < fields.count; ++f) {
      host.MXSETFIELDBYNUMBER(
          plhs[o], 0, f,
          detail::create_result(host, arrays, r++, complex, shapes.combined_ndims, combined));
    }
  }

  if (count > 0) {
    deliverable.kernel(arrays, count);
  }
}

// The exported entry's logic for an element-wise plug-in: the checks in their
// fixed order, each before any array is read or created, then
// ELEMENTWISE_ARRAY.  No output asked for still fills the first slot.
template <class Host, class Scratch = HeapScratch>
void MEXFUNCTION(Host& host, const ElementwiseDeliverable& deliverable, const int& nlhs,
                 typename Host::Output* plhs, const int& nrhs, const typename Host::Input* prhs) {
  if (nrhs != deliverable.inputs) {
    host.MEXERRMSGTXT(deliverable.argument_count);
    return;
  }
  if (nlhs > deliverable.outputs) {
    host.MEXERRMSGTXT(deliverable.too_many_outputs);
    return;
  }
  for (int j = 0; j < deliverable.inputs; ++j) {
    if (host.MXGETCLASS(prhs[j]) == ElementClass::kNotNumeric) {
      host.MEXERRMSGTXT(messages::kNotNumeric);
      return;
    }
    if (host.MXISSPARSE(prhs[j])) {
      host.MEXERRMSGTXT(messages::kSparse);
      return;
    }
    if (!deliverable.complex_inputs && host.MXISCOMPLEX(prhs[j]) == 1) {
      host.MEXERRMSGTXT(messages::kComplex);
      return;
    }
  }

  detail::InputShapes<Host> shapes;
  shapes.count = deliverable.inputs;
  for (int j = 0; j < deliverable.inputs; ++j) {
    shapes.ndims[j] = host.MXGETNUMBEROFDIMENSIONS(prhs[j]);
    shapes.dims[j] = host.MXGETDIMENSIONS(prhs[j]);
    shapes.combined_ndims = std::max(shapes.combined_ndims, shapes.ndims[j]);
  }
  for (std::uint64_t d = 0; d < shapes.combined_ndims; ++d) {
    std::uint64_t extent = 1;
    if (!shapes.combined(d, extent)) {
      host.MEXERRMSGTXT(messages::kNonconformant);
      return;
    }
  }
  // The element count is a signed 32-bit integer, as in the fixed path: every
  // extent and their product must fit it.  A zero extent anywhere makes the
  // product 0, however large the extents before it.
  constexpr std::uint64_t kMaxCount = std::numeric_limits<std::int32_t>::max();
  std::uint64_t count = 1;
  bool too_large = false;
  bool empty = false;
  for (std::uint64_t d = 0; d < shapes.combined_ndims; ++d) {
    std::uint64_t extent = 1;
    shapes.combined(d, extent);
    too_large = too_large || extent > kMaxCount;
    empty = empty || extent == 0;
  }
  for (std::uint64_t d = 0; d < shapes.combined_ndims && !too_large && !empty; ++d) {
    std::uint64_t extent = 1;
    shapes.combined(d, extent);
    too_large = count > kMaxCount / extent;
    count *= extent;
  }
  if (empty) count = 0;
  if (too_large) {
    host.MEXERRMSGTXT(messages::kTooLarge);
    return;
  }
  const int filled = std::max(nlhs, 1);
  ELEMENTWISE_ARRAY<Host, Scratch>(host, deliverable, filled, plhs, prhs, shapes,
                                   static_cast<std::int32_t>(count));
}

}  // namespace vorlan

#endif
