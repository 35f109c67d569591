#pragma once

// The one-line legal notice, shown in the About box and kept in the version
// block; one text so that the two never disagree.
inline constexpr char kLegalNotice[] = "Copyright (C) 2026";
