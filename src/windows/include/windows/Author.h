#pragma once

// The author's details shown in the About window and the address of the
// author's web page. The layout's captions are written from these.
namespace windows::author {

inline constexpr char Name[] = "Zé Quintal";
inline constexpr char Email[] = "ze.quintal@radiosala.example";
inline constexpr char Company[] = "Quintal Radiocomunicações Fictícias Ltda.";
inline constexpr char WebHost[] = "radiosala.example";
inline constexpr int WebPort = 2000;

} // namespace windows::author
