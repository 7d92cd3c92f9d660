<!DOCTYPE html>
<html>
<head>
<meta charset="utf-8">
<title>zemplayer 首页</title>
<style>
body { background: #1e1e1e; color: #dddddd; font-family: "WenQuanYi Micro Hei", sans-serif; margin: 12px; }
a { color: #ff9a2e; text-decoration: none; }
li { margin: 4px 0; }
</style>
</head>
<body>
<h1>首页</h1><p>示例首页。</p><p><a href="/vant/">视频库</a> | <a href="/guestbook/">留言本</a></p>
</body>
</html>
