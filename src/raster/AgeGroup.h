#pragma once

namespace raster {

// The two age groups passport photos are made for, by the guides of the main window and by
// today's rules alike: children up to 10 years and persons from 11 years.
enum class AgeGroup { UpTo10, From11 };

}  // namespace raster
