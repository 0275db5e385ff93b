#pragma once

namespace velnor::project_details {

// Shown in the About box after "作者:", "主页:" and "邮箱:".
inline constexpr const char* Author = "Velnor 开发组";
inline constexpr const char* HomePage = "https://velnor.example.org";
inline constexpr const char* Email = "dev@velnor.example.org";

} // namespace velnor::project_details
