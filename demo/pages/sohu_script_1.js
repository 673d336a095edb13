document.write('<img src="http://demo.harvio.test/pictures/large01.jpg" border=0>');
document.write('<img src="http://demo.harvio.test/pictures/still08.gif" border=0>');
