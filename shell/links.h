#pragma once

// Every outside address the program opens, kept in one place so forms never spell them out.
namespace Links {
constexpr char knowledgeBase[] = "https://korvane.example/knowledge";
constexpr char supportMail[] = "support@korvane.example";
constexpr char website[] = "https://korvane.example";
constexpr char facebook[] = "https://korvane.example/facebook";
constexpr char twitter[] = "https://korvane.example/twitter";
constexpr char instagram[] = "https://korvane.example/instagram";
constexpr char youtube[] = "https://korvane.example/youtube";
constexpr char linkedin[] = "https://korvane.example/linkedin";
} // namespace Links
