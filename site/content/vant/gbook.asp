<!DOCTYPE html>
<html>
<head>
<meta charset="utf-8">
<title>留言求片</title>
<style>
body { background: #1e1e1e; color: #dddddd; font-family: "WenQuanYi Micro Hei", sans-serif; margin: 10px 12px; font-size: 13px; }
h1 { font-size: 18px; margin: 0 0 6px; }
p { margin: 0 0 8px; }
form { display: grid; grid-template-columns: 9em 1fr auto; gap: 6px; margin-bottom: 8px; }
input, textarea, button { font: inherit; background: #2c2c2c; color: #eeeeee; border: 1px solid #555555; padding: 3px 6px; }
textarea { height: 1.6em; resize: none; }
button { background: #ff9a2e; color: #1e1e1e; border: none; cursor: pointer; }
ul { list-style: none; padding: 0; margin: 0; }
li { padding: 4px 0; border-top: 1px solid #333333; word-break: break-all; }
li b { color: #ff9a2e; font-weight: normal; }
li.none { color: #888888; }
</style>
</head>
<body>
<h1>留言求片</h1>
<p>示例留言本：想看什么片，留言告诉我们。</p>
<form method="post" action="gbook.asp">
<input name="name" placeholder="昵称" maxlength="20">
<textarea name="text" placeholder="想看的片名" maxlength="500"></textarea>
<button type="submit">留言</button>
</form>
<ul>
<!--MESSAGES-->
</ul>
</body>
</html>
