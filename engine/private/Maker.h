#pragma once

// Who made this installer: the install log's header and the comment of the
// start-up folder block name these addresses. They lie in the example.org
// domain until the project has addresses of its own.
inline constexpr const char* kMakerWebAddress = "https://brenvik.example.org/";
inline constexpr const char* kMakerSupportEmail = "support@brenvik.example.org";
