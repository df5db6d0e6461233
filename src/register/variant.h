#pragma once

namespace mizro::reg {

/// The two register screens apply the same rules with small differences.
enum class Variant { SingleScreen, Classic };

} // namespace mizro::reg
