<!DOCTYPE html>
<html>
<head>
<meta charset="utf-8">
<title>留言求片</title>
<style>
body { background: #1e1e1e; color: #dddddd; font-family: "WenQuanYi Micro Hei", sans-serif; margin: 12px; }
a { color: #ff9a2e; text-decoration: none; }
li { margin: 4px 0; }
</style>
</head>
<body>
<h1>留言求片</h1><p>示例留言本：想看什么片，留言告诉我们。</p>
</body>
</html>
