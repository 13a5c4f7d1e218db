#pragma once
// The number of members of an aggregate, counted at compile time: the largest
// N for which T{x1, ..., xN} compiles with arguments that convert to anything.
// Tables that must hold one row per member check themselves against it.
#include <cstddef>
#include <utility>

namespace vesko {
namespace fieldcount {

struct AnyValue {
    template <class T>
    constexpr operator T() const;  // unevaluated only
};

template <class T, std::size_t... I>
constexpr bool BracesTake(std::index_sequence<I...>) {
    return requires { T{(static_cast<void>(I), AnyValue{})...}; };
}

template <class T, std::size_t N>
constexpr std::size_t Count() {
    if constexpr (!BracesTake<T>(std::make_index_sequence<N + 1>())) return N;
    else return Count<T, N + 1>();
}

}  // namespace fieldcount

template <class T>
inline constexpr std::size_t kFieldCount = fieldcount::Count<T, 0>();

}  // namespace vesko
