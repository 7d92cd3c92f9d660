<!DOCTYPE html>
<html>
<head>
<meta charset="utf-8">
<title>频道</title>
<style>
body { background: #1e1e1e; color: #dddddd; font-family: "WenQuanYi Micro Hei", sans-serif; margin: 12px; }
a { color: #ff9a2e; text-decoration: none; }
li { margin: 4px 0; }
</style>
</head>
<body>
<h1>频道</h1>
<ul>
<li><a href="play:///vant/">视频库首页</a></li>
<li><a href="play:///vant/list/dianying.html">电影</a></li>
<li><a href="play:///vant/list/dianshiju.html">电视剧</a></li>
</ul>
<p><a href="colse://close">关闭播放页</a></p>
</body>
</html>
