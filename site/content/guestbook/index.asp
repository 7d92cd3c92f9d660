<!DOCTYPE html>
<html>
<head>
<meta charset="utf-8">
<title>播放器反馈</title>
<style>
body { background: #1e1e1e; color: #dddddd; font-family: "WenQuanYi Micro Hei", sans-serif; margin: 12px; }
a { color: #ff9a2e; text-decoration: none; }
li { margin: 4px 0; }
</style>
</head>
<body>
<h1>播放器反馈</h1><p>示例反馈版块。</p>
</body>
</html>
