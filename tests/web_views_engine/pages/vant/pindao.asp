<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>频道</title><style>html,body{margin:0;padding:0}a{position:absolute;left:0;width:300px;height:50px;display:block;color:#fff;font:16px sans-serif}</style></head>
<body style="background:#00ff00;height:4000px"><a href="play:///vant/list.html" style="top:0;background:#000000">电影</a>
<a href="PLAY:///vant/list.html" style="top:60px;background:#000000">电视剧</a></body></html>
